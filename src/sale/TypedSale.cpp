#include "sale/TypedSale.h"

#include "store/AnimalOutcomes.h"
#include "store/DateText.h"
#include "store/DisplayText.h"
#include "store/Failure.h"
#include "store/FreeText.h"
#include "store/RecordFile.h"
#include "store/ShopDatabase.h"
#include "widgets/MessageBoxes.h"

namespace {

bool confirmed(MessageBoxes& messages, QWidget* parent, const QString& question, const QString& title)
{
    return messages.ask(parent, question, title, MessageBoxes::Buttons::OkCancel, MessageBoxes::Icon::Warning,
                        MessageBoxes::Answer::Cancel) == MessageBoxes::Answer::Ok;
}

// A sale of `soldOn` typed on the chart, after the questions 販売する asks.
bool sellAsTyped(RecordFile& records, ShopDatabase& database, MessageBoxes& messages, QWidget* parent,
                 qint32 number, const PetRecord& changed, const QDate& soldOn)
{
    AnimalOutcomes& outcomes = database.outcomes();
    const Species species = outcomes.speciesForChart(changed);
    const QString tooYoung = tooYoungToSell(species, readShopDate(birthDateText(changed)), soldOn);
    if (!tooYoung.isEmpty())
        throw Failure(tooYoung);
    // A sale without a registered microchip needs its reason on record, which only 販売する takes.
    const ChartSale known = database.sales().chartSale(number);
    if (mayBeDogOrCat(species) && (known.microchip.isEmpty() || !known.chipRegistered.isValid()))
        throw Failure(QStringLiteral("マイクロチップが登録されていない犬・猫は、「カルテ」→「販売する...」で"
                                     "「チップなしの理由」を入力して販売してください。"));
    if (species == Species::Unset &&
        !confirmed(messages, parent,
                   QStringLiteral("品種「%1」の種別（犬・猫・その他）が未設定です。犬・猫として記録します。"
                                  "このまま販売を記録しますか？")
                       .arg(tableText(changed.Kind)),
                   QStringLiteral("ソラニカ")))
        return false;
    Sale sale;
    sale.soldOn = soldOn;
    sale.price = readPrice(tableText(changed.PlannedPrice));
    sale.priceFromPlan = true;
    sale.microchip = known.microchip;
    sale.chipRegistered = known.chipRegistered.isValid();
    sale.chipCertificateOn = known.chipCertificateOn;
    outcomes.recordSale(records, number, changed, sale, species);
    return true;
}

} // namespace

QString undoSaleQuestion(const QDate& soldOn)
{
    return QStringLiteral(
               "%1 に記録した販売を取り消し、カルテの販売日を空にします。購入者の氏名・住所・電話も"
               "消えます。よろしいですか？")
        .arg(dateText(soldOn));
}

bool storeTradingFields(RecordFile& records, ShopDatabase& database, MessageBoxes& messages, QWidget* parent,
                        qint32 number, const PetRecord& changed)
{
    records.LoadRecord(number);
    const PetRecord before = records.CurrentRecord;
    const QDate typed = readShopDate(tableText(changed.SaleDate));
    const QDate was = readShopDate(tableText(before.SaleDate));
    const std::optional<AnimalOutcome> present = database.storedOutcome(number);
    const bool sold = present && present->sale;

    if (tableText(changed.Kind).isEmpty() || (typed.isValid() && sold && typed == present->sale->soldOn) ||
        (!typed.isValid() && !sold) ||
        (typed.isValid() && !sold && typed == was && !(present && present->hasLeft()))) {
        records.StoreRecord(number, changed);
        return true;
    }
    if (typed.isValid() && present && present->hasLeft())
        throw Failure(
            present->leftText() +
            QStringLiteral("販売日を変えるには、先に「カルテ」→「販売を取り消す」をしてください。"));
    if (typed.isValid())
        return sellAsTyped(records, database, messages, parent, number, changed, typed);
    if (!confirmed(messages, parent, undoSaleQuestion(present->sale->soldOn),
                   QStringLiteral("販売を取り消す")))
        return false;
    database.outcomes().undoSale(records, number, changed);
    return true;
}
