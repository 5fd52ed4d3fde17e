#include "chartlist/ChartListModel.h"

#include "store/Numbers.h"

ChartListModel::ChartListModel(QList<ChartRow> chartRows, QObject* parent)
    : QAbstractTableModel(parent), rows(std::move(chartRows))
{
}

const QString& ChartListModel::searchText(int row) const
{
    if (searchTexts.isEmpty()) {
        searchTexts.reserve(rows.size());
        for (const ChartRow& chart : rows)
            searchTexts.append(searchForm(chart.texts.join(QChar(u'\n'))));
    }
    return searchTexts[row];
}

int ChartListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int ChartListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ChartRow::ColumnCount;
}

QVariant ChartListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows.size())
        return {};
    const ChartRow& row = rows[index.row()];
    switch (role) {
    case Qt::DisplayRole: {
        // The sale's amounts are shown with thousands separators; the rows and the CSV keep plain numbers.
        bool amount = false;
        const qint64 yen = index.column() == ChartRow::SalePrice || index.column() == ChartRow::Margin
                               ? row.texts[index.column()].toLongLong(&amount)
                               : 0;
        return amount ? Numbers::formatAmount(yen) : row.texts[index.column()];
    }
    case Qt::TextAlignmentRole:
        return index.column() == ChartRow::Number || index.column() == ChartRow::PurchaseCost ||
                       index.column() == ChartRow::PlannedPrice || index.column() == ChartRow::SalePrice ||
                       index.column() == ChartRow::Margin
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant();
    case SortRole:
        return sortValue(row, index.column());
    case SearchRole:
        return searchText(index.row());
    case RecordNumberRole:
        return row.number;
    case InStockRole:
        return row.inStock();
    case PriceRole: {
        const std::optional<qint64> price = readPrice(row.texts[index.column()]);
        return price ? QVariant(*price) : QVariant();
    }
    default:
        return {};
    }
}

QVariant ChartListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= ChartRow::ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return chartColumnNames()[section];
}

// Numbers and prices sort as numbers and dates as dates where they read as such; everything else,
// and what does not read, as text.
QVariant ChartListModel::sortValue(const ChartRow& row, int column) const
{
    const QString& text = row.texts[column];
    switch (column) {
    case ChartRow::Number:
        return row.number;
    case ChartRow::PurchaseCost:
    case ChartRow::PlannedPrice:
    case ChartRow::SalePrice:
    case ChartRow::Margin:
        if (const std::optional<qint64> price = readPrice(text))
            return *price;
        return text;
    case ChartRow::Birth:
    case ChartRow::PurchaseDate:
    case ChartRow::SaleDate:
        if (const std::optional<QDate> date = readDate(text))
            return *date;
        return text;
    default:
        return text;
    }
}
