#include "chart/ChartPrinting.h"

#include "app/Notices.h"
#include "app/ScreenContext.h"
#include "app/ShownChart.h"
#include "chart/ChartPrintout.h"
#include "platform/Clock.h"
#include "widgets/FailureReport.h"
#include "widgets/FileDialogs.h"
#include "widgets/Printer.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

ChartPrinting::ChartPrinting(ScreenContext& context, ShownChart& chart, QObject* parent)
    : QObject(parent), actSavePdf(menuAction(this, "actSavePdf", QStringLiteral("PDFに保存(&P)..."),
                                             &ChartPrinting::saveAsPdf)),
      context(context), chart(chart)
{
}

void ChartPrinting::print()
{
    if (!chart.applyTypedRecordNumber())
        return;
    QWidget* const window = chart.chartWindow();
    const auto answer =
        context.messages.ask(window, QStringLiteral("プリントしますか？"), QStringLiteral("印刷確認"),
                             MessageBoxes::Buttons::OkCancel, MessageBoxes::Icon::None);
    if (answer == MessageBoxes::Answer::Cancel)
        return;
    reportFailures(context.messages, window, [&] {
        context.printer.print(printoutLines(), QStringLiteral("カルテ %1").arg(chart.shownRecord()));
    });
}

void ChartPrinting::saveAsPdf()
{
    if (!chart.applyTypedRecordNumber())
        return;
    QWidget* const window = chart.chartWindow();
    const qint32 number = chart.shownRecord();
    const QString path = context.files.saveForOtherPrograms(window, QStringLiteral("PDFに保存"),
                                                            QStringLiteral("カルテ_%1.pdf").arg(number),
                                                            QStringLiteral("PDF ファイル (*.pdf)"));
    if (path.isEmpty())
        return;
    if (reportFailures(context.messages, window, [&] {
            writeLinesToPdf(printoutLines(), path, QStringLiteral("カルテ %1").arg(number));
        }))
        chart.showWritten(Notices::PdfSaved, path);
}

// What the screen shows at this moment, never what the file holds: its controls read by their names.
QStringList ChartPrinting::printoutLines() const
{
    const QWidget* const window = chart.chartWindow();
    const auto shown = [window](const QString& name) {
        if (const auto* label = window->findChild<QLabel*>(name))
            return label->text();
        if (const auto* box = window->findChild<QLineEdit*>(name))
            return box->text();
        return QString();
    };
    const auto* withTrading = window->findChild<QCheckBox*>(QStringLiteral("Check1"));
    return chartPrintoutLines(shown, withTrading && withTrading->isChecked(),
                              dateTimeText(context.clock.now()));
}
