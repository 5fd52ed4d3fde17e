#pragma once

#include <QObject>

class QAction;
class ShownChart;
struct ScreenContext;

// The commands about the shop's records rather than one chart: the record book, the yearly report,
// the sales ledger, breed information and the dealer's details.
class ShopRecordsMenu : public QObject
{
    Q_OBJECT
public:
    ShopRecordsMenu(ScreenContext& context, ShownChart& chart, QObject* parent);

    QAction* const actRecordBook;
    QAction* const actYearlyReport;
    QAction* const actBreedInfo;
    QAction* const actSaleLedger;
    QAction* const actDealerInfo;

private:
    void makeRecordBook();
    void openYearlyReport();
    void editBreedInfo();
    void exportSaleLedger();
    void editDealerInfo();

    ScreenContext& context;
    ShownChart& chart;
};
