#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QLabel;
class ShopOverview;
class ShownChart;
struct ScreenContext;

// お店の状況 beside the chart, and the care notice in the chart's status bar that tells of overdue care
// and microchip duties; a click on the notice opens ケアの予定.
class OverviewMenu : public QObject
{
    Q_OBJECT
public:
    OverviewMenu(ScreenContext& context, ShownChart& chart, QObject* parent);

    QAction* const actOverview;
    // A permanent part of the chart's status bar, hidden while it has nothing to say.
    QLabel* const careNotice;

    void showCareNotice();
    void shopDataChanged();
    void shopDataMayHaveChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openOverview();
    void openCarePlan();
    void showShopInOverview();
    void showChosenChart(qint32 number);
    void editCarePlans();
    QString shopDataStamp() const;

    ScreenContext& context;
    ShownChart& chart;
    // お店の状況 while it is open.
    QPointer<ShopOverview> overview;
    // The shop's files and the day as they were when the care notice was last counted.
    QString countedStamp;
};
