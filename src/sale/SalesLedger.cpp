#include "sale/SalesLedger.h"

#include "store/DisplayText.h"
#include "store/RecordFile.h"

#include <algorithm>

QStringList LedgerRow::columns() const
{
    return {QString::number(number),
            kind,
            sex,
            birthDate,
            microchip,
            saleDate,
            buyerName,
            buyerAddress,
            buyerPhone,
            explainedOn};
}

namespace SalesLedger {

QStringList header()
{
    return {QStringLiteral("番号"),
            QStringLiteral("種類"),
            QStringLiteral("性別"),
            QStringLiteral("生年月日"),
            QStringLiteral("マイクロチップ番号"),
            QStringLiteral("販売日"),
            QStringLiteral("購入者氏名"),
            QStringLiteral("住所"),
            QStringLiteral("電話"),
            QStringLiteral("説明書交付日")};
}

QList<int> numberColumns()
{
    return {0};
}

QList<LedgerRow> rows(const std::vector<PetRecord>& records, const QMap<qint32, ChartSale>& sales)
{
    const qint64 last = std::max<qint64>(qint64(records.size()), sales.isEmpty() ? 0 : sales.lastKey());
    const PetRecord empty{};
    QList<LedgerRow> ledger;
    for (qint64 number = 1; number <= last; ++number) {
        const PetRecord& record = number <= qint64(records.size()) ? records[std::size_t(number - 1)] : empty;
        const ChartSale sale = sales.value(qint32(number));
        const QString saleDate = tableText(record.SaleDate);
        if (saleDate.isEmpty() && !sale.hasBuyer())
            continue;
        ledger.append({qint32(number), tableText(record.Kind), tableText(record.Sex), birthDateText(record),
                       sale.microchip, saleDate, sale.buyerName, sale.buyerAddress, sale.buyerPhone,
                       dateText(sale.explainedOn), !sale.isFor(record)});
    }
    return ledger;
}

QList<LedgerRow> load(const RecordFile& records, const SaleStore& store)
{
    return rows(records.loadAllRecords(), store.chartSales());
}

QString mismatchQuestion(const QList<LedgerRow>& rows)
{
    QStringList numbers;
    for (const LedgerRow& row : rows) {
        if (row.otherAnimal)
            numbers.append(QStringLiteral("%1番").arg(row.number));
    }
    if (numbers.isEmpty())
        return {};
    return ChartSale::Mismatch + QStringLiteral("（%1）。このまま書き出しますか？").arg(numbers.join(u'、'));
}

QList<QStringList> table(const QList<LedgerRow>& rows)
{
    QList<QStringList> lines{header()};
    for (const LedgerRow& row : rows)
        lines.append(row.columns());
    return lines;
}

} // namespace SalesLedger
