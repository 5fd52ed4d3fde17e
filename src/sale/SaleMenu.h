#pragma once

#include <QObject>

class QAction;
class ShownChart;
struct ScreenContext;

// The chart menu's commands about the shown animal's sale and life: selling and taking a sale back,
// leaving (death, hand-over) and return, its sale information and the sale-time explanation sheet.
class SaleMenu : public QObject
{
    Q_OBJECT
public:
    SaleMenu(ScreenContext& context, ShownChart& chart, QObject* parent);

    QAction* const actSell;
    QAction* const actUnsell;
    QAction* const actLeave;
    QAction* const actReturn;
    QAction* const actSaleInfo;
    QAction* const actExplanation;
    QAction* const actExplanationPdf;

private:
    void sellAnimal();
    void undoSale();
    void recordLeaving();
    void recordReturn();
    void editSaleInfo();
    void printExplanation();
    void saveExplanationAsPdf();

    ScreenContext& context;
    ShownChart& chart;
};
