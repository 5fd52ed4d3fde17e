#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QStringList>

// Rows of text for a table view. Numbers stand to the right and sort by value; a row may carry
// a text colour, a ground colour and a tool tip.
class RowsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Row
    {
        QStringList texts;
        QColor text;
        QColor ground;
        QString tip;
    };

    RowsModel(QStringList columns, QObject* parent);

    void setRows(QList<Row> rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    QStringList columns;
    QList<Row> rows;
};
