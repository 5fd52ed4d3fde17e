#include "chartlist/ChartRows.h"

#include "store/DisplayText.h"

#include <QRegularExpression>

const QStringList& chartColumnNames()
{
    static const QStringList names{
        QStringLiteral("番号"),         QStringLiteral("種類"),     QStringLiteral("性別"),
        QStringLiteral("毛色"),         QStringLiteral("生年月日"), QStringLiteral("担当者"),
        QStringLiteral("仕入日"),       QStringLiteral("仕入先"),   QStringLiteral("仕入原価"),
        QStringLiteral("販売予定価格"), QStringLiteral("販売日"),   QStringLiteral("状態")};
    return names;
}

QList<ChartRow> chartRows(const std::vector<PetRecord>& records)
{
    QList<ChartRow> rows;
    rows.reserve(records.size());
    for (std::size_t index = 0; index < records.size(); ++index) {
        const PetRecord& record = records[index];
        // The same test as the search for a free chart: the kind shows empty.
        if (shownText(record.Kind).isEmpty())
            continue;
        ChartRow row;
        row.number = qint32(index + 1);
        row.texts = {
            QString::number(row.number),    tableText(record.Kind),     tableText(record.Sex),
            tableText(record.CoatColour),   birthDateText(record),      tableText(record.Staff),
            tableText(record.PurchaseDate), tableText(record.Supplier), tableText(record.PurchaseCost),
            tableText(record.PlannedPrice), tableText(record.SaleDate), QString()};
        row.texts[ChartRow::Status] = row.inStock() ? QStringLiteral("在庫") : QStringLiteral("販売済");
        rows.append(std::move(row));
    }
    return rows;
}

std::optional<qint64> readPrice(const QString& text)
{
    QString amount = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (amount.startsWith(u'¥') || amount.startsWith(u'\\'))
        amount.remove(0, 1);
    if (amount.endsWith(u'円'))
        amount.chop(1);
    static const QRegularExpression grouped(QStringLiteral("^\\s*([0-9]{1,3}(?:,[0-9]{3})+|[0-9]+)\\s*$"));
    const QRegularExpressionMatch match = grouped.match(amount);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 value = match.captured(1).remove(u',').toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

std::optional<QDate> readDate(const QString& text)
{
    static const QRegularExpression date(QStringLiteral(
        "^\\s*([0-9]{4})\\s*[/.\\-年]\\s*([0-9]{1,2})\\s*[/.\\-月]\\s*([0-9]{1,2})\\s*日?\\s*$"));
    const QRegularExpressionMatch match = date.match(text.normalized(QString::NormalizationForm_KC));
    if (!match.hasMatch())
        return std::nullopt;
    const QDate value(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    return value.isValid() ? std::optional<QDate>(value) : std::nullopt;
}

QString searchForm(const QString& text)
{
    return text.normalized(QString::NormalizationForm_KC).toCaseFolded();
}
