#include "chart/ChartScreen.h"

#include "app/Application.h"
#include "platform/Clock.h"
#include "platform/JapaneseOrder.h"
#include "sale/LeaveDialog.h"
#include "sale/RecordBookDialog.h"
#include "sale/ReturnDialog.h"
#include "sale/SellDialog.h"
#include "sale/ShopAnimals.h"
#include "sale/TypedSale.h"
#include "sale/YearlyReport.h"
#include "store/AnimalOutcomes.h"
#include "store/DisplayText.h"
#include "store/Failure.h"
#include "store/PickListFile.h"
#include "store/RecordFile.h"
#include "store/ShopDatabase.h"
#include "widgets/FailureReport.h"

#include <QFileInfo>

#include <memory>

// Selling and taking a sale back change the chart's 販売日; typing pending on the chart would then
// store the old date over it, so they wait until the typing is saved or given up.
bool ChartScreen::refusedInDirectEntry(const QString& step)
{
    if (!inDirectEntryMode())
        return false;
    showFailure(
        context.messages, this,
        QStringLiteral("保存していない入力があります。「保存」するか Esc で取り消してから、%1してください。")
            .arg(step));
    return true;
}

void ChartScreen::sellAnimal()
{
    if (!applyTypedRecordNumber() || refusedInDirectEntry(QStringLiteral("販売")))
        return;
    std::unique_ptr<SellDialog> dialog;
    if (!reportFailures(context.messages, this, [&] {
            QStringList staff;
            // The staff list helps; a shop without one still sells.
            if (QFileInfo::exists(QStringLiteral("tokucyou.txt")))
                staff = sortedJapanese(PickListFile::readItems(QStringLiteral("tokucyou.txt")));
            dialog = std::make_unique<SellDialog>(context.records, context.database, context.messages,
                                                  shownNumber, context.clock.now().date(), staff, this);
        }))
        return;
    int answer = QDialog::Rejected;
    {
        const HandlerScope running;
        answer = dialog->exec();
    }
    shopDataChanged();
    if (!reportFailures(context.messages, this, [&] { showChart(shownNumber); }) ||
        answer != QDialog::Accepted)
        return;
    if (context.messages.ask(this, QStringLiteral("販売時説明書を印刷しますか？"), QStringLiteral("ソラニカ"),
                             MessageBoxes::Buttons::OkCancel, MessageBoxes::Icon::None,
                             MessageBoxes::Answer::Ok) == MessageBoxes::Answer::Ok)
        printExplanation();
}

void ChartScreen::undoSale()
{
    if (!applyTypedRecordNumber() || refusedInDirectEntry(QStringLiteral("販売を取り消")))
        return;
    reportFailures(context.messages, this, [&] {
        const std::optional<AnimalOutcome> outcome = context.database.storedOutcome(shownNumber);
        if (!outcome || !outcome->sale)
            throw Failure(QStringLiteral("このカルテには販売が記録されていません。"));
        if (context.messages.ask(this, undoSaleQuestion(outcome->sale->soldOn),
                                 QStringLiteral("販売を取り消す"), MessageBoxes::Buttons::OkCancel,
                                 MessageBoxes::Icon::Warning,
                                 MessageBoxes::Answer::Cancel) != MessageBoxes::Answer::Ok)
            return;
        context.database.outcomes().undoSale(context.records, shownNumber);
        showChart(shownNumber);
    });
    shopDataChanged();
}

// What became of the animals, for the chart list; when it cannot be read the user is told, and the
// list opens with the statuses the charts' own 販売日 give.
QMap<qint32, ChartOutcomeFigures> ChartScreen::outcomeFigures()
{
    QMap<qint32, ChartOutcomeFigures> figures;
    if (!context.database.exists())
        return figures;
    reportFailures(context.messages, this, [&] {
        for (const AnimalOutcome& outcome : context.database.outcomes().outcomes()) {
            if (outcome.recordNumber > 0)
                figures.insert(outcome.recordNumber,
                               {outcome.status(), outcome.sale ? outcome.sale->price : std::nullopt});
        }
    });
    return figures;
}

void ChartScreen::recordLeaving()
{
    if (!applyTypedRecordNumber())
        return;
    std::unique_ptr<LeaveDialog> dialog;
    if (!reportFailures(context.messages, this, [&] {
            context.records.LoadRecord(shownNumber);
            dialog = std::make_unique<LeaveDialog>(context.records, context.database, context.messages,
                                                   shownNumber, context.records.CurrentRecord,
                                                   context.clock.now().date(), this);
        }))
        return;
    {
        const HandlerScope running;
        dialog->exec();
    }
    shopDataChanged();
}

void ChartScreen::recordReturn()
{
    if (!applyTypedRecordNumber() || refusedInDirectEntry(QStringLiteral("返品を記録")))
        return;
    std::unique_ptr<ReturnDialog> dialog;
    if (!reportFailures(context.messages, this, [&] {
            dialog = std::make_unique<ReturnDialog>(context.records, context.database, context.messages,
                                                    shownNumber, context.clock.now().date(), this);
        }))
        return;
    {
        const HandlerScope running;
        dialog->exec();
    }
    reportFailures(context.messages, this, [&] { showChart(shownNumber); });
    shopDataChanged();
}

void ChartScreen::openYearlyReport()
{
    if (!applyTypedRecordNumber())
        return;
    std::unique_ptr<YearlyReport> report;
    if (!reportFailures(context.messages, this, [&] {
            // Without the database no kind's species is decided, and the report lists every chart.
            const StoredOutcomes stored = storedOutcomes(context.database);
            const DealerInfo dealer =
                context.database.exists() ? context.database.sales().dealerInfo() : DealerInfo{};
            report = std::make_unique<YearlyReport>(context.records.loadAllRecords(), stored.outcomes,
                                                    stored.species, dealer, context.messages, context.printer,
                                                    context.files, context.clock.now().date(), this);
        }))
        return;
    const HandlerScope running;
    report->exec();
}

void ChartScreen::makeRecordBook()
{
    if (!applyTypedRecordNumber())
        return;
    std::unique_ptr<RecordBookDialog> dialog;
    if (!reportFailures(context.messages, this, [&] {
            const StoredOutcomes stored = storedOutcomes(context.database);
            QMap<qint32, ChartSale> chartSales;
            if (context.database.exists())
                chartSales = context.database.sales().chartSales();
            dialog = std::make_unique<RecordBookDialog>(
                context.records.loadAllRecords(), stored.outcomes, chartSales, stored.species,
                context.database, context.messages, context.files, context.clock.now().date(), this);
        }))
        return;
    const HandlerScope running;
    dialog->exec();
}
