#include "chartlist/ChartListFilter.h"

#include "chartlist/ChartListModel.h"
#include "chartlist/ChartRows.h"

#include <QDate>
#include <QLocale>

ChartListFilter::ChartListFilter(QObject* parent)
    : QSortFilterProxyModel(parent), collator(QLocale(QLocale::Japanese, QLocale::Japan))
{
    setSortRole(ChartListModel::SortRole);
}

void ChartListFilter::setSearchText(const QString& text)
{
    search = searchForm(text);
    invalidateRowsFilter();
}

void ChartListFilter::setStatus(Status wanted)
{
    status = wanted;
    invalidateRowsFilter();
}

ChartListFilter::Summary ChartListFilter::summary() const
{
    Summary sum;
    for (int row = 0; row < rowCount(); ++row) {
        ++sum.charts;
        if (!index(row, 0).data(ChartListModel::InStockRole).toBool())
            continue;
        ++sum.inStock;
        const QModelIndex cost = index(row, ChartRow::PurchaseCost);
        const QVariant amount = cost.data(ChartListModel::PriceRole);
        if (amount.isValid())
            sum.stockCost += amount.toLongLong();
        else if (!cost.data().toString().isEmpty())
            ++sum.unreadableCosts;
    }
    return sum;
}

bool ChartListFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const QModelIndex first = sourceModel()->index(sourceRow, 0, sourceParent);
    if (status != Status::All &&
        first.data(ChartListModel::InStockRole).toBool() != (status == Status::InStock))
        return false;
    return search.isEmpty() || first.data(ChartListModel::SearchRole).toString().contains(search);
}

bool ChartListFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const QVariant a = left.data(sortRole());
    const QVariant b = right.data(sortRole());
    const auto isText = [](const QVariant& value) { return value.typeId() == QMetaType::QString; };
    // Values that read as numbers or dates come before those that do not.
    if (isText(a) != isText(b))
        return !isText(a);
    if (isText(a))
        return collator.compare(a.toString(), b.toString()) < 0;
    if (a.typeId() == QMetaType::QDate && b.typeId() == QMetaType::QDate)
        return a.toDate() < b.toDate();
    return a.toLongLong() < b.toLongLong();
}
