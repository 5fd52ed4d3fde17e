#pragma once

#include <QCollator>
#include <QSortFilterProxyModel>

// The rows of the chart list that the search and the status choice let through, in the order the
// user sorted them.
class ChartListFilter : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    enum class Status { All, InStock, Sold };

    explicit ChartListFilter(QObject* parent = nullptr);

    // Rows where any column contains `text`, compared in folded form; an empty text lets all through.
    void setSearchText(const QString& text);
    void setStatus(Status status);

    // The charts shown, how many of them are in stock, the purchase costs of those in stock added
    // up, and how many of those costs did not read as an amount and were left out.
    struct Summary
    {
        int charts = 0;
        int inStock = 0;
        qint64 stockCost = 0;
        int unreadableCosts = 0;
    };
    Summary summary() const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QString search;
    Status status = Status::All;
    QCollator collator;
};
