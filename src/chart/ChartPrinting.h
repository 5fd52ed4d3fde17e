#pragma once

#include <QObject>
#include <QStringList>

class QAction;
class ShownChart;
struct ScreenContext;

// The shown chart on paper or in a PDF, as the screen shows it at that moment.
class ChartPrinting : public QObject
{
    Q_OBJECT
public:
    ChartPrinting(ScreenContext& context, ShownChart& chart, QObject* parent);

    QAction* const actSavePdf;

    void print();

private:
    void saveAsPdf();
    QStringList printoutLines() const;

    ScreenContext& context;
    ShownChart& chart;
};
