#include "sale/ExplanationSheet.h"

#include "store/ShopDatabase.h"
#include "store/DisplayText.h"
#include "store/Failure.h"
#include "store/ShopSettings.h"

namespace Explanation {

namespace {

QString orMissing(const QString& value)
{
    return value.trimmed().isEmpty() ? ExplanationSheet::Missing : value;
}

QString medicationHistory(const PetRecord& record)
{
    QStringList lines;
    for (const auto* line : {&record.Medication1, &record.Medication2, &record.Medication3,
                             &record.Medication4, &record.Medication5}) {
        const QString text = tableText(*line);
        if (!text.trimmed().isEmpty())
            lines.append(text);
    }
    return lines.join(QLatin1Char('\n'));
}

// Whether the animal was neutered can only be told once its sale information was entered.
QString neuteringState(const ChartSale& sale)
{
    if (sale.neutered) {
        return sale.neuteredOn.isValid() ? QStringLiteral("実施済み（%1）").arg(dateText(sale.neuteredOn))
                                         : QStringLiteral("実施済み");
    }
    return sale.isEmpty() ? QString() : QStringLiteral("未実施");
}

QString microchipDetails(const ChartSale& sale)
{
    if (sale.microchip.isEmpty())
        return {};
    QStringList parts{QStringLiteral("マイクロチップ番号 %1").arg(sale.microchip)};
    if (sale.chipImplanted.isValid())
        parts.append(QStringLiteral("装着日 %1").arg(dateText(sale.chipImplanted)));
    if (sale.chipRegistered.isValid())
        parts.append(QStringLiteral("登録日 %1").arg(dateText(sale.chipRegistered)));
    if (sale.chipCertificateOn.isValid())
        parts.append(QStringLiteral("登録証明書の交付日 %1").arg(dateText(sale.chipCertificateOn)));
    return parts.join(QStringLiteral("、"));
}

// Who bred the animal (for an imported one, who exported it), with a registration number or an address.
QString breeder(const ChartSale& sale)
{
    QStringList parts;
    for (const QString& part : {sale.breederName.trimmed(), sale.breederReg.trimmed()})
        if (!part.isEmpty())
            parts.append(part);
    return parts.join(QStringLiteral("　"));
}

} // namespace

const QStringList& itemTitles()
{
    static const QStringList titles = {
        QStringLiteral("品種等の名称"),
        QStringLiteral("性成熟時の標準体重・標準体長その他の体の大きさ"),
        QStringLiteral("平均寿命その他の飼養期間"),
        QStringLiteral("飼養施設の構造及び規模"),
        QStringLiteral("給餌及び給水の方法"),
        QStringLiteral("運動及び休養の方法"),
        QStringLiteral("主な人と動物の共通感染症その他かかるおそれの高い疾病の種類及びその予防方法"),
        QStringLiteral("不妊又は去勢の措置の方法及びその費用"),
        QStringLiteral("その他みだりな繁殖を制限するための措置"),
        QStringLiteral("遺棄の禁止その他関係法令による規制の内容"),
        QStringLiteral("性別の判定結果"),
        QStringLiteral("生年月日"),
        QStringLiteral("不妊又は去勢の措置の実施状況"),
        QStringLiteral("繁殖者の氏名又は名称及び登録番号又は所在地"),
        QStringLiteral("所有者の氏名"),
        QStringLiteral("病歴・ワクチンの接種状況等"),
        QStringLiteral("親及び同腹子に係る遺伝性疾患の発生状況"),
        QStringLiteral("その他必要な事項"),
    };
    return titles;
}

QList<SheetItem> items(const PetRecord& record, const ChartSale& sale, const BreedTexts& breed)
{
    QStringList values{tableText(record.Kind)};
    for (const QString& text : breed.items)
        values.append(text);
    values << tableText(record.Sex) << birthDateText(record) << neuteringState(sale) << breeder(sale)
           << sale.owner << medicationHistory(record) << sale.hereditary << microchipDetails(sale);
    Q_ASSERT(values.size() == itemTitles().size());

    QList<SheetItem> sheet;
    for (int i = 0; i < itemTitles().size(); ++i)
        sheet.append({i + 1, itemTitles().at(i), orMissing(values.at(i))});
    return sheet;
}

BreedTexts withDefaults(BreedTexts own, const BreedTexts& defaults, QList<int>& usedDefaults)
{
    for (int item = BreedTexts::FirstItem; item <= BreedTexts::LastItem; ++item) {
        if (own.item(item).trimmed().isEmpty() && !defaults.item(item).trimmed().isEmpty()) {
            own.item(item) = defaults.item(item);
            usedDefaults.append(item);
        }
    }
    return own;
}

QString defaultsNote(const ExplanationSheet& sheet)
{
    if (sheet.defaultItems.isEmpty())
        return {};
    QStringList numbers;
    for (int item : sheet.defaultItems)
        numbers.append(QString::number(item));
    return QStringLiteral("項目 %1 は「%2」の標準の説明文です（事業者情報で設定）。")
        .arg(numbers.join(QStringLiteral("・")), sheet.species);
}

ExplanationSheet load(qint32 number, const PetRecord& record, const ShopDatabase& database)
{
    const SaleStore& store = database.sales();
    const ChartSale sale = store.chartSale(number);
    // Another animal's microchip must not go to this animal's buyer on paper.
    if (!sale.isFor(record))
        throw Failure(ChartSale::Mismatch +
                      QStringLiteral("。「カルテ」→「マイクロチップ・販売情報」で確かめてください。"));
    ExplanationSheet sheet;
    sheet.shopName = ShopSettings::get(ShopSettings::Keys[0]);
    sheet.shopPhone = ShopSettings::get(ShopSettings::Keys[1]);
    sheet.shopAddress = ShopSettings::get(ShopSettings::Keys[2]);
    sheet.dealer = store.dealerInfo();
    sheet.recordNumber = number;
    sheet.kind = tableText(record.Kind).trimmed();
    sheet.species = speciesText(database.outcomes().speciesForChart(record));
    const BreedTexts texts =
        withDefaults(store.breedTextsForChart(record), store.speciesTexts(sheet.species), sheet.defaultItems);
    sheet.items = items(record, sale, texts);
    sheet.microchip = orMissing(sale.microchip);
    sheet.buyerName = sale.buyerName.trimmed();
    sheet.explainedOn = sale.explainedOn;
    return sheet;
}

} // namespace Explanation
