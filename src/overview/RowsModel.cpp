#include "overview/RowsModel.h"

#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace {

// An amount shown with thousands separators (「450,000」) is a number too.
std::optional<double> numberIn(const QString& text)
{
    static const QRegularExpression grouped(QStringLiteral("^-?[0-9]{1,3}(,[0-9]{3})+$"));
    bool number = false;
    const double value =
        (grouped.match(text).hasMatch() ? QString(text).remove(QLatin1Char(',')) : text).toDouble(&number);
    return number ? std::optional<double>(value) : std::nullopt;
}

} // namespace

RowsModel::RowsModel(QStringList columns, QObject* parent)
    : QAbstractTableModel(parent), columns(std::move(columns))
{
}

void RowsModel::setRows(QList<Row> shown)
{
    beginResetModel();
    rows = std::move(shown);
    endResetModel();
}

int RowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int RowsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns.size());
}

QVariant RowsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Row& row = rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return row.texts.value(index.column());
    case Qt::TextAlignmentRole:
        return numberIn(row.texts.value(index.column())) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                         : QVariant();
    case Qt::ForegroundRole:
        return row.text.isValid() ? QVariant(row.text) : QVariant();
    case Qt::BackgroundRole:
        return row.ground.isValid() ? QVariant(row.ground) : QVariant();
    case Qt::ToolTipRole:
        return row.tip.isEmpty() ? QVariant() : QVariant(row.tip);
    default:
        return {};
    }
}

QVariant RowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return columns.value(section);
}

// Numbers before texts, numbers by value, texts as they are.
void RowsModel::sort(int column, Qt::SortOrder order)
{
    const auto before = [column](const Row& a, const Row& b) {
        const QString& left = a.texts.value(column);
        const QString& right = b.texts.value(column);
        const std::optional<double> leftNumber = numberIn(left);
        const std::optional<double> rightNumber = numberIn(right);
        if (leftNumber && rightNumber)
            return *leftNumber < *rightNumber;
        if (leftNumber || rightNumber)
            return leftNumber.has_value();
        return left < right;
    };
    beginResetModel();
    if (order == Qt::AscendingOrder)
        std::stable_sort(rows.begin(), rows.end(), before);
    else
        std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) { return before(b, a); });
    endResetModel();
}
