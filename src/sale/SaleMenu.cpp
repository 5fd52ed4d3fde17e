#include "sale/SaleMenu.h"

#include "app/Notices.h"
#include "app/ScreenContext.h"
#include "app/ShownChart.h"
#include "platform/Clock.h"
#include "platform/JapaneseOrder.h"
#include "platform/RunningHandlers.h"
#include "sale/ExplanationPrint.h"
#include "sale/LeaveDialog.h"
#include "sale/ReturnDialog.h"
#include "sale/SaleInfoDialog.h"
#include "sale/SellDialog.h"
#include "sale/TypedSale.h"
#include "store/AnimalOutcomes.h"
#include "store/Failure.h"
#include "store/PickListFile.h"
#include "store/RecordFile.h"
#include "store/ShopDatabase.h"
#include "store/ShopFiles.h"
#include "widgets/FailureReport.h"
#include "widgets/FileDialogs.h"
#include "widgets/Printer.h"

#include <QFileInfo>

#include <memory>

SaleMenu::SaleMenu(ScreenContext& context, ShownChart& chart, QObject* parent)
    : QObject(parent),
      actSell(menuAction(this, "actSell", QStringLiteral("販売する(&U)..."), &SaleMenu::sellAnimal)),
      actUnsell(menuAction(this, "actUnsell", QStringLiteral("販売を取り消す(&Z)..."), &SaleMenu::undoSale)),
      actLeave(
          menuAction(this, "actLeave", QStringLiteral("死亡・譲渡を記録(&V)..."), &SaleMenu::recordLeaving)),
      actReturn(menuAction(this, "actReturn", QStringLiteral("返品を記録(&R)..."), &SaleMenu::recordReturn)),
      actSaleInfo(menuAction(this, "actSaleInfo", QStringLiteral("マイクロチップ・販売情報(&M)..."),
                             &SaleMenu::editSaleInfo)),
      actExplanation(menuAction(this, "actExplanation", QStringLiteral("販売時説明書を印刷(&S)..."),
                                &SaleMenu::printExplanation)),
      actExplanationPdf(menuAction(this, "actExplanationPdf", QStringLiteral("販売時説明書をPDFに保存..."),
                                   &SaleMenu::saveExplanationAsPdf)),
      context(context), chart(chart)
{
}

// Selling and taking a sale back change the chart's 販売日; typing pending on the chart would then
// store the old date over it, so they wait until the typing is saved or given up.
void SaleMenu::sellAnimal()
{
    if (!chart.applyTypedRecordNumber() || chart.refusedInDirectEntry(QStringLiteral("販売")))
        return;
    QWidget* const window = chart.chartWindow();
    const qint32 number = chart.shownRecord();
    std::unique_ptr<SellDialog> dialog;
    if (!reportFailures(context.messages, window, [&] {
            QStringList staff;
            // The staff list helps; a shop without one still sells.
            if (QFileInfo::exists(ShopFiles::StaffList))
                staff = sortedJapanese(PickListFile::readItems(ShopFiles::StaffList));
            dialog = std::make_unique<SellDialog>(context.records, context.database, context.messages, number,
                                                  context.clock.now().date(), staff, window);
        }))
        return;
    int answer = QDialog::Rejected;
    {
        const HandlerScope running;
        answer = dialog->exec();
    }
    chart.shopDataChanged();
    if (!reportFailures(context.messages, window, [&] { chart.showChart(number); }) ||
        answer != QDialog::Accepted)
        return;
    if (context.messages.ask(window, QStringLiteral("販売時説明書を印刷しますか？"),
                             QStringLiteral("ソラニカ"), MessageBoxes::Buttons::OkCancel,
                             MessageBoxes::Icon::None, MessageBoxes::Answer::Ok) == MessageBoxes::Answer::Ok)
        printExplanation();
}

void SaleMenu::undoSale()
{
    if (!chart.applyTypedRecordNumber() || chart.refusedInDirectEntry(QStringLiteral("販売を取り消")))
        return;
    QWidget* const window = chart.chartWindow();
    const qint32 number = chart.shownRecord();
    reportFailures(context.messages, window, [&] {
        const std::optional<AnimalOutcome> outcome = context.database.storedOutcome(number);
        if (!outcome || !outcome->sale)
            throw Failure(QStringLiteral("このカルテには販売が記録されていません。"));
        if (context.messages.ask(window, undoSaleQuestion(outcome->sale->soldOn),
                                 QStringLiteral("販売を取り消す"), MessageBoxes::Buttons::OkCancel,
                                 MessageBoxes::Icon::Warning,
                                 MessageBoxes::Answer::Cancel) != MessageBoxes::Answer::Ok)
            return;
        context.database.outcomes().undoSale(context.records, number);
        chart.showChart(number);
    });
    chart.shopDataChanged();
}

void SaleMenu::recordLeaving()
{
    if (!chart.applyTypedRecordNumber())
        return;
    const qint32 number = chart.shownRecord();
    std::unique_ptr<LeaveDialog> dialog;
    if (!reportFailures(context.messages, chart.chartWindow(), [&] {
            context.records.LoadRecord(number);
            dialog = std::make_unique<LeaveDialog>(context.records, context.database, context.messages,
                                                   number, context.records.CurrentRecord,
                                                   context.clock.now().date(), chart.chartWindow());
        }))
        return;
    {
        const HandlerScope running;
        dialog->exec();
    }
    chart.shopDataChanged();
}

void SaleMenu::recordReturn()
{
    if (!chart.applyTypedRecordNumber() || chart.refusedInDirectEntry(QStringLiteral("返品を記録")))
        return;
    QWidget* const window = chart.chartWindow();
    const qint32 number = chart.shownRecord();
    std::unique_ptr<ReturnDialog> dialog;
    if (!reportFailures(context.messages, window, [&] {
            dialog = std::make_unique<ReturnDialog>(context.records, context.database, context.messages,
                                                    number, context.clock.now().date(), window);
        }))
        return;
    {
        const HandlerScope running;
        dialog->exec();
    }
    reportFailures(context.messages, window, [&] { chart.showChart(number); });
    chart.shopDataChanged();
}

void SaleMenu::editSaleInfo()
{
    if (!chart.applyTypedRecordNumber())
        return;
    SaleInfoDialog dialog(context.database.sales(), context.messages, chart.shownRecord(),
                          context.records.CurrentRecord, chart.chartWindow());
    const HandlerScope running;
    dialog.exec();
}

void SaleMenu::printExplanation()
{
    if (!chart.applyTypedRecordNumber())
        return;
    QWidget* const window = chart.chartWindow();
    const qint32 number = chart.shownRecord();
    // A sheet that cannot be made is refused before the question.
    reportFailures(context.messages, window, [&] {
        const ExplanationSheet sheet =
            Explanation::load(number, context.records.CurrentRecord, context.database);
        const QString note = Explanation::defaultsNote(sheet);
        const QString question =
            note.isEmpty() ? QStringLiteral("印刷しますか？") : note + QStringLiteral("\n\n印刷しますか？");
        if (context.messages.ask(window, question, QStringLiteral("印刷確認"),
                                 MessageBoxes::Buttons::OkCancel,
                                 MessageBoxes::Icon::None) == MessageBoxes::Answer::Cancel)
            return;
        context.printer.printDocument(QStringLiteral("販売時説明書 %1").arg(number),
                                      [&](QPagedPaintDevice& device, const QString& name) {
                                          paintExplanationSheet(sheet, device, name);
                                      });
    });
}

void SaleMenu::saveExplanationAsPdf()
{
    if (!chart.applyTypedRecordNumber())
        return;
    QWidget* const window = chart.chartWindow();
    const qint32 number = chart.shownRecord();
    const QString path = context.files.saveForOtherPrograms(window, QStringLiteral("販売時説明書をPDFに保存"),
                                                            QStringLiteral("販売時説明書_%1.pdf").arg(number),
                                                            QStringLiteral("PDF ファイル (*.pdf)"));
    if (path.isEmpty())
        return;
    QString note;
    if (reportFailures(context.messages, window, [&] {
            const ExplanationSheet sheet =
                Explanation::load(number, context.records.CurrentRecord, context.database);
            note = Explanation::defaultsNote(sheet);
            // The sheet carries the buyer's name.
            writePdf(
                path, QStringLiteral("販売時説明書 %1").arg(number),
                [&](QPagedPaintDevice& device, const QString& name) {
                    paintExplanationSheet(sheet, device, name);
                },
                RegularFile::Readers::OwnerOnly);
        }))
        chart.showWritten(Notices::PdfSaved, path, note);
}
