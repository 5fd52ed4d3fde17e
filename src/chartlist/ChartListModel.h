#pragma once

#include "chartlist/ChartRows.h"

#include <QAbstractTableModel>

// The charts of the record file as a table, one row per chart that is not free.
class ChartListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // Besides the shown text: the value a column sorts by, and the text a search compares with.
    enum Role { SortRole = Qt::UserRole, SearchRole, RecordNumberRole, InStockRole, PriceRole };

    explicit ChartListModel(QList<ChartRow> rows, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVariant sortValue(const ChartRow& row, int column) const;

    const QString& searchText(int row) const;

    QList<ChartRow> rows;
    // Per row, all its texts in search form, joined, so a search does not fold them again. Made at
    // the first search, so that opening the list does not wait for it.
    mutable QStringList searchTexts;
};
