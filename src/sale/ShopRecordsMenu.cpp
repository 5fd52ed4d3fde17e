#include "sale/ShopRecordsMenu.h"

#include "app/Notices.h"
#include "app/ScreenContext.h"
#include "app/ShownChart.h"
#include "platform/Clock.h"
#include "platform/JapaneseOrder.h"
#include "platform/RunningHandlers.h"
#include "sale/BreedInfoDialog.h"
#include "sale/DealerInfoDialog.h"
#include "sale/RecordBookDialog.h"
#include "sale/SalesLedger.h"
#include "sale/ShopAnimals.h"
#include "sale/YearlyReport.h"
#include "store/Csv.h"
#include "store/PickListFile.h"
#include "store/RecordFile.h"
#include "store/ShopDatabase.h"
#include "store/ShopFiles.h"
#include "widgets/FailureReport.h"
#include "widgets/FileDialogs.h"

#include <memory>

ShopRecordsMenu::ShopRecordsMenu(ScreenContext& context, ShownChart& chart, QObject* parent)
    : QObject(parent), actRecordBook(menuAction(this, "actRecordBook", QStringLiteral("帳簿を作成(&K)..."),
                                                &ShopRecordsMenu::makeRecordBook)),
      actYearlyReport(menuAction(this, "actYearlyReport", QStringLiteral("定期報告の集計(&Y)..."),
                                 &ShopRecordsMenu::openYearlyReport)),
      actBreedInfo(menuAction(this, "actBreedInfo", QStringLiteral("品種情報(&B)..."),
                              &ShopRecordsMenu::editBreedInfo)),
      actSaleLedger(menuAction(this, "actSaleLedger", QStringLiteral("販売台帳をCSVに書き出す(&L)..."),
                               &ShopRecordsMenu::exportSaleLedger)),
      actDealerInfo(menuAction(this, "actDealerInfo", QStringLiteral("事業者情報(&O)..."),
                               &ShopRecordsMenu::editDealerInfo)),
      context(context), chart(chart)
{
}

void ShopRecordsMenu::makeRecordBook()
{
    if (!chart.applyTypedRecordNumber())
        return;
    std::unique_ptr<RecordBookDialog> dialog;
    if (!reportFailures(context.messages, chart.chartWindow(), [&] {
            const StoredOutcomes stored = storedOutcomes(context.database);
            dialog = std::make_unique<RecordBookDialog>(context.records.loadAllRecords(), stored.outcomes,
                                                        context.database.storedChartSales(), stored.species,
                                                        context.database, context.messages, context.files,
                                                        context.clock.now().date(), chart.chartWindow());
        }))
        return;
    const HandlerScope running;
    dialog->exec();
}

void ShopRecordsMenu::openYearlyReport()
{
    if (!chart.applyTypedRecordNumber())
        return;
    std::unique_ptr<YearlyReport> report;
    if (!reportFailures(context.messages, chart.chartWindow(), [&] {
            // Without the database no kind's species is decided, and the report lists every chart.
            const StoredOutcomes stored = storedOutcomes(context.database);
            const DealerInfo dealer =
                context.database.exists() ? context.database.sales().dealerInfo() : DealerInfo{};
            report = std::make_unique<YearlyReport>(
                context.records.loadAllRecords(), stored.outcomes, stored.species, dealer, context.messages,
                context.printer, context.files, context.clock.now().date(), chart.chartWindow());
        }))
        return;
    const HandlerScope running;
    report->exec();
}

void ShopRecordsMenu::editBreedInfo()
{
    if (!chart.applyTypedRecordNumber())
        return;
    QStringList kinds;
    if (!reportFailures(context.messages, chart.chartWindow(), [&] {
            kinds = sortedJapanese(PickListFile::readItems(ShopFiles::KindList));
            kinds.removeDuplicates();
        }))
        return;
    BreedInfoDialog dialog(context.database, context.messages, kinds, chart.chartWindow());
    {
        const HandlerScope running;
        dialog.exec();
    }
    // A kind's species decides which care falls due.
    chart.shopDataChanged();
}

void ShopRecordsMenu::exportSaleLedger()
{
    if (!chart.applyTypedRecordNumber())
        return;
    QWidget* const window = chart.chartWindow();
    const QString path = context.files.saveForOtherPrograms(
        window, QStringLiteral("販売台帳をCSVに書き出す"),
        QStringLiteral("販売台帳_%1.csv")
            .arg(context.clock.now().date().toString(QStringLiteral("yyyyMMdd"))),
        QStringLiteral("CSV ファイル (*.csv)"));
    if (path.isEmpty())
        return;
    bool written = false;
    reportFailures(context.messages, window, [&] {
        const QList<LedgerRow> rows = SalesLedger::load(context.records, context.database.sales());
        const QString question = SalesLedger::mismatchQuestion(rows);
        if (!question.isEmpty() &&
            context.messages.ask(window, question, QStringLiteral("販売台帳"),
                                 MessageBoxes::Buttons::OkCancel, MessageBoxes::Icon::Warning,
                                 MessageBoxes::Answer::Cancel) != MessageBoxes::Answer::Ok)
            return;
        Csv::save(path, SalesLedger::table(rows), SalesLedger::numberColumns());
        written = true;
    });
    if (written)
        chart.showWritten(Notices::CsvWritten, path);
}

void ShopRecordsMenu::editDealerInfo()
{
    if (!chart.applyTypedRecordNumber())
        return;
    DealerInfoDialog dialog(context.database.sales(), context.messages, chart.chartWindow());
    const HandlerScope running;
    dialog.exec();
}
