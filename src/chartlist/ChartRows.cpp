#include "chartlist/ChartRows.h"

#include "store/DateText.h"
#include "store/DisplayText.h"

#include <QRegularExpression>

const QStringList& chartColumnNames()
{
    static const QStringList names{
        QStringLiteral("番号"),         QStringLiteral("種類"),     QStringLiteral("性別"),
        QStringLiteral("毛色"),         QStringLiteral("生年月日"), QStringLiteral("担当者"),
        QStringLiteral("仕入日"),       QStringLiteral("仕入先"),   QStringLiteral("仕入原価"),
        QStringLiteral("販売予定価格"), QStringLiteral("販売日"),   QStringLiteral("マイクロチップ"),
        QStringLiteral("状態"),         QStringLiteral("販売価格"), QStringLiteral("粗利")};
    return names;
}

namespace {

// Where the amounts go in a CSV row: each after its typed price.
constexpr int CsvCostAmount = ChartRow::PurchaseCost + 1;
constexpr int CsvPriceAmount = ChartRow::PlannedPrice + 2;

QString amountText(const QString& typed)
{
    const std::optional<qint64> amount = readPrice(typed);
    return amount ? QString::number(*amount) : QString();
}

} // namespace

QList<QStringList> chartCsvRows(const QList<QStringList>& rows)
{
    QStringList heading = chartColumnNames();
    heading.insert(CsvCostAmount, QStringLiteral("仕入原価(円)"));
    heading.insert(CsvPriceAmount, QStringLiteral("販売予定価格(円)"));
    QList<QStringList> table{heading};
    table.reserve(rows.size() + 1);
    for (const QStringList& texts : rows) {
        QStringList line = texts;
        line.insert(CsvCostAmount, amountText(texts[ChartRow::PurchaseCost]));
        line.insert(CsvPriceAmount, amountText(texts[ChartRow::PlannedPrice]));
        table.append(line);
    }
    return table;
}

QList<int> chartCsvNumberColumns()
{
    return {ChartRow::Number, CsvCostAmount, CsvPriceAmount};
}

QList<ChartRow> chartRows(const std::vector<PetRecord>& records, const QMap<qint32, QString>& microchips,
                          const QMap<qint32, ChartOutcomeFigures>& outcomes)
{
    QList<ChartRow> rows;
    rows.reserve(records.size());
    for (std::size_t index = 0; index < records.size(); ++index) {
        const PetRecord& record = records[index];
        // A free chart, or one whose data was deleted: its leftover trading fields are no animal.
        if (tableText(record.Kind).isEmpty())
            continue;
        ChartRow row;
        row.number = qint32(index + 1);
        row.texts = {QString::number(row.number),
                     tableText(record.Kind),
                     tableText(record.Sex),
                     tableText(record.CoatColour),
                     birthDateText(record),
                     tableText(record.Staff),
                     tableText(record.PurchaseDate),
                     tableText(record.Supplier),
                     tableText(record.PurchaseCost),
                     tableText(record.PlannedPrice),
                     tableText(record.SaleDate),
                     microchips.value(row.number),
                     QString(),
                     QString(),
                     QString()};
        const ChartOutcomeFigures outcome = outcomes.value(row.number);
        if (!outcome.status.isEmpty())
            row.texts[ChartRow::Status] = outcome.status;
        else
            // Text that is not a date (「予約済」) records no sale.
            row.texts[ChartRow::Status] = readShopDate(row.texts[ChartRow::SaleDate]).isValid()
                                              ? QStringLiteral("販売済")
                                              : QStringLiteral("在庫");
        if (outcome.price) {
            row.texts[ChartRow::SalePrice] = QString::number(*outcome.price);
            if (const std::optional<qint64> cost = readPrice(row.texts[ChartRow::PurchaseCost]))
                row.texts[ChartRow::Margin] = QString::number(*outcome.price - *cost);
        }
        rows.append(std::move(row));
    }
    return rows;
}

QString searchForm(const QString& text)
{
    QString folded = text.normalized(QString::NormalizationForm_KC).toCaseFolded();
    // Breed names are written with or without 「・」 and spaces between their words.
    static const QRegularExpression separators(QStringLiteral("[ \\t\\x{30FB}]"));
    folded.remove(separators);
    for (QChar& c : folded) {
        if ((c >= QChar(u'ぁ') && c <= QChar(u'ゖ')) || c == QChar(u'ゝ') || c == QChar(u'ゞ'))
            c = QChar(c.unicode() + (u'ァ' - u'ぁ'));
    }
    return folded;
}
