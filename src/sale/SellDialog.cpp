#include "sale/SellDialog.h"

#include "sale/DialogFields.h"
#include "store/DisplayText.h"
#include "store/Failure.h"
#include "store/FreeText.h"
#include "store/Microchip.h"
#include "store/RecordFile.h"
#include "store/ShopDatabase.h"
#include "widgets/DiscardQuestion.h"
#include "widgets/FailureReport.h"
#include "widgets/Look.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

const QString DatePlaceholder = QStringLiteral("例：2026/12/7");
const QString Individual = QStringLiteral("個人");
const QString Business = QStringLiteral("事業者");
const QString FaceToFace = QStringLiteral("対面");

QDate birthOf(const PetRecord& record)
{
    return QDate(record.BirthYear, record.BirthMonth, record.BirthDay);
}

} // namespace

SellDialog::SellDialog(RecordFile& records, ShopDatabase& database, MessageBoxes& messages, qint32 number,
                       const QDate& today, const QStringList& staffNames, QWidget* parent)
    : QDialog(parent), records(records), database(database), messages(messages), number(number)
{
    records.LoadRecord(number);
    chart = records.CurrentRecord;
    const QString kind = tableText(chart.Kind);
    if (kind.isEmpty())
        throw Failure(QStringLiteral("このカルテには動物が入力されていません。"));
    const AnimalOutcomes& outcomes = database.outcomes();
    species = outcomes.speciesForChart(chart);
    const ChartSale known = database.sales().chartSale(number);
    // An animal that has left the shop is not sold again: the dialog says so before anything is typed.
    const QString refusal = refusalOf(outcomes.outcome(number), LifeStep::Sell);
    if (!refusal.isEmpty())
        throw Failure(refusal);

    buildLayout(kind, staffNames);
    askBeforeDiscarding(this, messages);
    // What the sale information knows of the buyer and the microchip.
    Sale sale;
    sale.soldOn = today;
    sale.buyerName = known.buyerName;
    sale.buyerAddress = known.buyerAddress;
    sale.buyerPhone = known.buyerPhone;
    sale.soldBy = tableText(chart.Staff);
    sale.explainedOn = known.explainedOn.isValid() ? known.explainedOn : today;
    sale.explainedHow = FaceToFace;
    sale.microchip = known.microchip;
    sale.chipRegistered = known.chipRegistered.isValid();
    sale.chipCertificateOn = known.chipCertificateOn;
    saleDate->setText(dateBoxText(sale.soldOn));
    price->setText(sale.price ? QString::number(*sale.price) : QString());
    buyerKind->setCurrentText(sale.businessBuyer ? Business : Individual);
    buyerName->setText(sale.buyerName);
    buyerAddress->setText(sale.buyerAddress);
    buyerPhone->setText(sale.buyerPhone);
    buyerRegNo->setText(sale.buyerRegNo);
    buyerCheck->setText(sale.buyerCheck);
    staff->setCurrentText(sale.soldBy);
    explainedOn->setText(dateBoxText(sale.explainedOn));
    explainedHow->setCurrentText(sale.explainedHow);
    microchip->setText(sale.microchip);
    chipRegistered->setChecked(sale.chipRegistered);
    chipCertificateOn->setText(dateBoxText(sale.chipCertificateOn));
    showBuyerKind();
}

void SellDialog::buildLayout(const QString& kind, const QStringList& staffNames)
{
    setObjectName(QStringLiteral("SellDialog"));
    setWindowTitle(QStringLiteral("販売する"));
    setFont(gothicFont(9));

    saleDate = namedBox(this, "saleDate", DatePlaceholder);
    price = namedBox(this, "price", QStringLiteral("円"));
    buyerKind = new QComboBox(this);
    buyerKind->setObjectName(QStringLiteral("buyerKind"));
    buyerKind->addItems({Individual, Business});
    buyerName = namedBox(this, "buyerName");
    buyerAddress = namedBox(this, "buyerAddress");
    buyerPhone = namedBox(this, "buyerPhone");
    buyerRegNo = namedBox(this, "buyerRegNo", QStringLiteral("第一種動物取扱業の登録番号"));
    buyerCheck = namedBox(this, "buyerCheck", QStringLiteral("例：登録証の写しで確認"));
    staff = new QComboBox(this);
    staff->setObjectName(QStringLiteral("staff"));
    staff->setEditable(true);
    staff->addItems(staffNames);
    explainedOn = namedBox(this, "explainedOn", DatePlaceholder);
    explainedHow = new QComboBox(this);
    explainedHow->setObjectName(QStringLiteral("explainedHow"));
    explainedHow->setEditable(true);
    explainedHow->addItems({FaceToFace, QStringLiteral("その他")});
    explainedHow->setToolTip(QStringLiteral("対面でないときは、その方法を入力してください。"));
    microchip = namedBox(this, "microchip", QStringLiteral("15桁の数字"));
    microchip->setMaxLength(40);
    chipRegistered = new QCheckBox(QStringLiteral("データベースに登録済み"), this);
    chipRegistered->setObjectName(QStringLiteral("chipRegistered"));
    chipCertificateOn = namedBox(this, "chipCertificateOn", DatePlaceholder);
    noChipReason =
        namedBox(this, "noChipReason", QStringLiteral("例：装着で健康を損なうおそれ（獣医師の判断）"));
    buttonBox = okCancelButtons(this);
    connect(buyerKind, &QComboBox::currentIndexChanged, this, &SellDialog::showBuyerKind);

    auto* form = new QFormLayout;
    form->addRow(
        QStringLiteral("カルテ"),
        new QLabel(QStringLiteral("%1 番　%2（%3）").arg(number).arg(kind, speciesText(species)), this));
    form->addRow(QStringLiteral("販売日(&D)"), saleDate);
    form->addRow(QStringLiteral("販売価格（円）(&P)"), price);
    form->addRow(QStringLiteral("購入者の区分"), buyerKind);
    form->addRow(QStringLiteral("購入者氏名(&N)"), buyerName);
    form->addRow(QStringLiteral("購入者住所"), buyerAddress);
    form->addRow(QStringLiteral("購入者電話"), buyerPhone);
    form->addRow(QStringLiteral("購入者の登録番号"), buyerRegNo);
    form->addRow(QStringLiteral("法令違反がないことを確認した方法"), buyerCheck);
    form->addRow(QStringLiteral("販売した担当者(&S)"), staff);
    form->addRow(QStringLiteral("説明をした日"), explainedOn);
    form->addRow(QStringLiteral("説明の方法"), explainedHow);
    form->addRow(QStringLiteral("マイクロチップ番号(&M)"), microchip);
    form->addRow(QString(), chipRegistered);
    form->addRow(QStringLiteral("登録証明書の交付日"), chipCertificateOn);
    form->addRow(QStringLiteral("チップなしの理由"), noChipReason);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttonBox);
    resize(560, sizeHint().height());
}

// A registration number and the check made apply only to a business buyer.
void SellDialog::showBuyerKind()
{
    const bool business = buyerKind->currentText() == Business;
    buyerRegNo->setEnabled(business);
    buyerCheck->setEnabled(business);
}

Sale SellDialog::typedSale() const
{
    Sale sale;
    refusedField = saleDate;
    if (saleDate->text().trimmed().isEmpty())
        throw Failure(QStringLiteral("販売日を入力してください。"));
    sale.soldOn = typedDate(saleDate, QStringLiteral("販売日"));
    refusedField = price;
    sale.price = readPrice(price->text());
    if (!sale.price || *sale.price < 0)
        throw Failure(QStringLiteral("販売価格は円の金額を数字で入力してください（例：250000）。"));
    refusedField = buyerName;
    sale.businessBuyer = buyerKind->currentText() == Business;
    sale.buyerName = buyerName->text().trimmed();
    if (sale.buyerName.isEmpty())
        throw Failure(QStringLiteral("購入者氏名を入力してください。"));
    sale.buyerAddress = buyerAddress->text().trimmed();
    sale.buyerPhone = buyerPhone->text().trimmed();
    if (sale.businessBuyer) {
        sale.buyerRegNo = buyerRegNo->text().trimmed();
        sale.buyerCheck = buyerCheck->text().trimmed();
    }
    sale.soldBy = staff->currentText().trimmed();
    refusedField = explainedOn;
    sale.explainedOn = typedDate(explainedOn, QStringLiteral("説明をした日"));
    sale.explainedHow = explainedHow->currentText().trimmed();
    refusedField = microchip;
    sale.microchip = Microchip::normalized(microchip->text());
    sale.chipRegistered = chipRegistered->isChecked();
    refusedField = chipCertificateOn;
    sale.chipCertificateOn = typedDate(chipCertificateOn, QStringLiteral("登録証明書の交付日"));
    // A dog or cat that leaves without a registered microchip leaves with the reason on record.
    refusedField = noChipReason;
    const bool withoutChip = sale.microchip.isEmpty() || !sale.chipRegistered;
    sale.noChipReason = withoutChip ? noChipReason->text().trimmed() : QString();
    if (mayBeDogOrCat(species) && withoutChip && sale.noChipReason.isEmpty())
        throw Failure(
            QStringLiteral("マイクロチップが登録されていない犬・猫を販売するときは、「チップなしの理由」を"
                           "入力してください（例：装着で健康を損なうおそれ）。"));
    refusedField = saleDate;
    const QString tooYoung = tooYoungToSell(species, birthOf(chart), sale.soldOn);
    if (!tooYoung.isEmpty())
        throw Failure(tooYoung);
    refusedField = nullptr;
    return sale;
}

// The questions before a sale is stored: a dog or cat without a registered microchip, and a
// microchip number another chart carries.
bool SellDialog::confirmed(const Sale& sale)
{
    const auto ok = [&](const QString& question) {
        return messages.ask(this, question, QStringLiteral("ソラニカ"), MessageBoxes::Buttons::OkCancel,
                            MessageBoxes::Icon::Warning,
                            MessageBoxes::Answer::Cancel) == MessageBoxes::Answer::Ok;
    };
    if (mayBeDogOrCat(species) && (sale.microchip.isEmpty() || !sale.chipRegistered)) {
        if (!ok(QStringLiteral("マイクロチップが登録されていません。このまま販売を記録しますか？"))) {
            microchip->setFocus();
            return false;
        }
    }
    const std::optional<qint32> other = database.sales().chartWithMicrochip(sale.microchip, number);
    if (other && !ok(Microchip::duplicateWarning(*other))) {
        microchip->setFocus();
        return false;
    }
    return true;
}

void SellDialog::accept()
{
    bool stored = false;
    refusedField = nullptr;
    reportFailures(messages, this, [&] {
        const Sale sale = typedSale();
        if (!confirmed(sale))
            return;
        database.outcomes().recordSale(records, number, sale, species);
        stored = true;
    });
    if (stored) {
        QDialog::accept();
        return;
    }
    if (refusedField) {
        refusedField->setFocus();
        if (auto* box = qobject_cast<QLineEdit*>(refusedField))
            box->selectAll();
    }
}
