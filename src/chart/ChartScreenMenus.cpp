#include "chart/ChartScreen.h"

#include "app/Application.h"
#include "app/VersionInfo.h"
#include "backup/BackupService.h"
#include "chart/Notices.h"
#include "chartlist/ChartList.h"
#include "platform/Clock.h"
#include "platform/JapaneseOrder.h"
#include "platform/WaitCursor.h"
#include "sale/BreedInfoDialog.h"
#include "sale/DealerInfoDialog.h"
#include "sale/ExplanationPrint.h"
#include "sale/SaleInfoDialog.h"
#include "sale/SalesLedger.h"
#include "store/Csv.h"
#include "store/PickListFile.h"
#include "store/RecordFile.h"
#include "store/ShopDatabase.h"
#include "widgets/FailureReport.h"
#include "widgets/FileDialogs.h"
#include "widgets/Printer.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>

// The menus reach what the chart's buttons do and what the buttons have no room for. Each command
// first applies a typed record number, as the buttons do.
QMenuBar* ChartScreen::buildMenus()
{
    auto* bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("menuBar"));
    const auto action = [this](QMenu* menu, const char* name, const QString& text, auto step) {
        QAction* added = menu->addAction(text, this, step);
        added->setObjectName(QString::fromLatin1(name));
        return added;
    };

    fileMenu = bar->addMenu(QStringLiteral("ファイル(&F)"));
    fileMenu->setObjectName(QStringLiteral("fileMenu"));
    actChartList =
        action(fileMenu, "actChartList", QStringLiteral("カルテ一覧(&L)..."), &ChartScreen::openChartList);
    actChartList->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    actOverview =
        action(fileMenu, "actOverview", QStringLiteral("お店の状況(&O)..."), &ChartScreen::openOverview);
    actOverview->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    actSavePdf =
        action(fileMenu, "actSavePdf", QStringLiteral("PDFに保存(&P)..."), &ChartScreen::saveChartAsPdf);
    actExportCsv = action(fileMenu, "actExportCsv", QStringLiteral("CSVに書き出す(&E)..."),
                          &ChartScreen::exportAllCharts);
    actBackup =
        action(fileMenu, "actBackup", QStringLiteral("バックアップを作成(&B)..."), &ChartScreen::makeBackup);
    actRestore = action(fileMenu, "actRestore", QStringLiteral("バックアップから復元(&R)..."),
                        &ChartScreen::restoreBackup);
    fileMenu->addSeparator();
    actRecordBook =
        action(fileMenu, "actRecordBook", QStringLiteral("帳簿を作成(&K)..."), &ChartScreen::makeRecordBook);
    actYearlyReport = action(fileMenu, "actYearlyReport", QStringLiteral("定期報告の集計(&Y)..."),
                             &ChartScreen::openYearlyReport);
    fileMenu->addSeparator();
    actQuit = action(fileMenu, "actQuit", QStringLiteral("終了(&X)"), &ChartScreen::quit);

    chartMenu = bar->addMenu(QStringLiteral("カルテ(&C)"));
    chartMenu->setObjectName(QStringLiteral("chartMenu"));
    // 新規入力 without the mouse; off with its button in direct entry, like the whole menu.
    actNewEntry = action(chartMenu, "actNewEntry", QStringLiteral("新規入力(&N)"), &ChartScreen::newEntry);
    actNewEntry->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    actSell = action(chartMenu, "actSell", QStringLiteral("販売する(&U)..."), &ChartScreen::sellAnimal);
    actUnsell =
        action(chartMenu, "actUnsell", QStringLiteral("販売を取り消す(&Z)..."), &ChartScreen::undoSale);
    actLeave =
        action(chartMenu, "actLeave", QStringLiteral("死亡・譲渡を記録(&V)..."), &ChartScreen::recordLeaving);
    actReturn =
        action(chartMenu, "actReturn", QStringLiteral("返品を記録(&R)..."), &ChartScreen::recordReturn);
    chartMenu->addSeparator();
    actSaleInfo = action(chartMenu, "actSaleInfo", QStringLiteral("マイクロチップ・販売情報(&M)..."),
                         &ChartScreen::editSaleInfo);
    actExplanation = action(chartMenu, "actExplanation", QStringLiteral("販売時説明書を印刷(&S)..."),
                            &ChartScreen::printExplanation);
    actExplanationPdf = action(chartMenu, "actExplanationPdf", QStringLiteral("販売時説明書をPDFに保存..."),
                               &ChartScreen::saveExplanationAsPdf);

    dataMenu = bar->addMenu(QStringLiteral("各種データ(&D)"));
    dataMenu->setObjectName(QStringLiteral("dataMenu"));
    actBreedInfo =
        action(dataMenu, "actBreedInfo", QStringLiteral("品種情報(&B)..."), &ChartScreen::editBreedInfo);
    actSaleLedger = action(dataMenu, "actSaleLedger", QStringLiteral("販売台帳をCSVに書き出す(&L)..."),
                           &ChartScreen::exportSaleLedger);
    actDealerInfo =
        action(dataMenu, "actDealerInfo", QStringLiteral("事業者情報(&O)..."), &ChartScreen::editDealerInfo);

    helpMenu = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    actHelp = action(helpMenu, "actHelp", QStringLiteral("ヘルプページ(&H)"), &ChartScreen::openHelp);
    actHelp->setShortcut(QKeySequence(Qt::Key_F1));
    actAbout = action(helpMenu, "actAbout", QStringLiteral("バージョン情報(&A)"), &ChartScreen::showAbout);
    return bar;
}

void ChartScreen::openChartList()
{
    if (!applyTypedRecordNumber())
        return;
    const QMap<qint32, QString> chips = microchipNumbers();
    const QMap<qint32, ChartOutcomeFigures> outcomes = outcomeFigures();
    std::unique_ptr<ChartList> list;
    if (!reportFailures(context.messages, this, [&] {
            list = std::make_unique<ChartList>(context.records.fileName(), chips, outcomes,
                                               context.chartListView, context.messages, context.files,
                                               context.clock.now().date(), this);
        }))
        return;
    connect(list.get(), &ChartList::csvWritten, this,
            [this](const QString& path) { showWritten(Notices::CsvWritten, path); });
    const HandlerScope running; // the list runs its own event loop
    if (list->exec() != QDialog::Accepted)
        return;
    // As if the user typed the chosen number and pressed Enter.
    Text1->setText(QString::number(list->chosenRecord()));
    showTypedRecord();
}

void ChartScreen::saveChartAsPdf()
{
    if (!applyTypedRecordNumber())
        return;
    const QString path = context.files.saveForOtherPrograms(this, QStringLiteral("PDFに保存"),
                                                            QStringLiteral("カルテ_%1.pdf").arg(shownNumber),
                                                            QStringLiteral("PDF ファイル (*.pdf)"));
    if (path.isEmpty())
        return;
    if (reportFailures(context.messages, this, [&] {
            writeLinesToPdf(printoutLines(), path, QStringLiteral("カルテ %1").arg(shownNumber));
        }))
        showWritten(Notices::PdfSaved, path);
}

void ChartScreen::exportAllCharts()
{
    if (!applyTypedRecordNumber())
        return;
    QList<QStringList> rows;
    const QMap<qint32, QString> chips = microchipNumbers();
    const QMap<qint32, ChartOutcomeFigures> outcomes = outcomeFigures();
    if (!reportFailures(context.messages, this,
                        [&] { rows = allChartRows(context.records.fileName(), chips, outcomes); }))
        return;
    const QString written =
        exportChartsToCsv(rows, context.messages, context.files, context.clock.now().date(), this);
    if (!written.isEmpty())
        showWritten(Notices::CsvWritten, written);
}

// The charts' microchip numbers for the list; when the sale information cannot be read the user
// is told, and the list opens without them.
QMap<qint32, QString> ChartScreen::microchipNumbers()
{
    QMap<qint32, QString> chips;
    // Looking does not create the file: a shop that never entered sale information has none.
    if (!context.database.exists())
        return chips;
    reportFailures(context.messages, this, [&] {
        const QMap<qint32, ChartSale> sales = context.database.sales().chartSales();
        for (auto sale = sales.cbegin(); sale != sales.cend(); ++sale) {
            if (!sale->microchip.isEmpty())
                chips.insert(sale.key(), sale->microchip);
        }
    });
    return chips;
}

void ChartScreen::makeBackup()
{
    if (!applyTypedRecordNumber())
        return;
    const QString path = context.files.saveForOtherPrograms(this, QStringLiteral("バックアップを作成"),
                                                            context.backups.suggestedFileName(),
                                                            QStringLiteral("バックアップ (*.zip)"));
    if (path.isEmpty())
        return;
    const WaitCursor waiting;
    QString leftOut;
    if (!reportFailures(context.messages, this, [&] { leftOut = context.backups.createBackup(path); }))
        return;
    showWritten(Notices::BackupCreated, path);
    if (!leftOut.isEmpty())
        showFailure(context.messages, this, leftOut);
}

void ChartScreen::restoreBackup()
{
    if (!applyTypedRecordNumber())
        return;
    const QString path =
        context.files.openFileName(this, QStringLiteral("バックアップから復元"),
                                   context.backups.backupFolder(), QStringLiteral("バックアップ (*.zip)"));
    if (path.isEmpty())
        return;
    bool restored = false;
    reportFailures(context.messages, this, [&] {
        // Everything is checked before anything changes; the user then sees what the backup holds.
        const BackupContents contents = context.backups.open(path);
        if (context.messages.ask(this, BackupService::restoreQuestion(contents),
                                 QStringLiteral("バックアップから復元"), MessageBoxes::Buttons::OkCancel,
                                 MessageBoxes::Icon::Warning,
                                 MessageBoxes::Answer::Cancel) != MessageBoxes::Answer::Ok)
            return;
        {
            const WaitCursor waiting;
            context.backups.restore(contents);
        }
        // The chart starts again from record 1 with the shop lines read anew.
        showChart(1);
        showShopLines();
        restored = true;
    });
    if (restored) {
        showWritten(Notices::BackupRestored, path);
        shopDataChanged();
    }
}

void ChartScreen::showBackupNotice(const QString& failure)
{
    if (failure.isEmpty())
        return;
    showStatus(failure.section(QLatin1Char('\n'), 0, 0), failure);
}

// Success is told in the status line, not in a box the shop must click away; the whole path is in
// its tool tip.
void ChartScreen::showWritten(const QString& what, const QString& path)
{
    showStatus(QStringLiteral("%1：%2").arg(what, QFileInfo(path).fileName()),
               QDir::toNativeSeparators(path));
}

void ChartScreen::showStatus(const QString& text, const QString& tip)
{
    statusLine->setText(text);
    statusLine->setToolTip(tip);
    statusLine->show();
    showStatusBar();
}

// The bar takes room under the chart only while one of its parts has something to say.
void ChartScreen::showStatusBar()
{
    statusBar->setVisible(!statusLine->isHidden() || !careNotice->isHidden());
}

void ChartScreen::showAbout()
{
    // The ZIP library's version comes from its module, which a damaged installation may lack.
    reportFailures(context.messages, this, [&] {
        context.messages.ask(this, versionInfoText(), QStringLiteral("バージョン情報"),
                             MessageBoxes::Buttons::Ok, MessageBoxes::Icon::None);
    });
}

void ChartScreen::editSaleInfo()
{
    if (!applyTypedRecordNumber())
        return;
    SaleInfoDialog dialog(context.database.sales(), context.messages, shownNumber,
                          context.records.CurrentRecord, this);
    const HandlerScope running;
    dialog.exec();
}

void ChartScreen::printExplanation()
{
    if (!applyTypedRecordNumber())
        return;
    // A sheet that cannot be made is refused before the question.
    reportFailures(context.messages, this, [&] {
        const ExplanationSheet sheet =
            Explanation::load(shownNumber, context.records.CurrentRecord, context.database);
        const QString note = Explanation::defaultsNote(sheet);
        const QString question =
            note.isEmpty() ? QStringLiteral("印刷しますか？") : note + QStringLiteral("\n\n印刷しますか？");
        if (context.messages.ask(this, question, QStringLiteral("印刷確認"), MessageBoxes::Buttons::OkCancel,
                                 MessageBoxes::Icon::None) == MessageBoxes::Answer::Cancel)
            return;
        context.printer.printDocument(QStringLiteral("販売時説明書 %1").arg(shownNumber),
                                      [&](QPagedPaintDevice& device, const QString& name) {
                                          paintExplanationSheet(sheet, device, name);
                                      });
    });
}

void ChartScreen::saveExplanationAsPdf()
{
    if (!applyTypedRecordNumber())
        return;
    const QString path = context.files.saveForOtherPrograms(
        this, QStringLiteral("販売時説明書をPDFに保存"),
        QStringLiteral("販売時説明書_%1.pdf").arg(shownNumber), QStringLiteral("PDF ファイル (*.pdf)"));
    if (path.isEmpty())
        return;
    QString note;
    if (reportFailures(context.messages, this, [&] {
            const ExplanationSheet sheet =
                Explanation::load(shownNumber, context.records.CurrentRecord, context.database);
            note = Explanation::defaultsNote(sheet);
            // The sheet carries the buyer's name.
            writePdf(
                path, QStringLiteral("販売時説明書 %1").arg(shownNumber),
                [&](QPagedPaintDevice& device, const QString& name) {
                    paintExplanationSheet(sheet, device, name);
                },
                RegularFile::Readers::OwnerOnly);
        })) {
        showWritten(Notices::PdfSaved, path);
        if (!note.isEmpty())
            statusLine->setText(statusLine->text() + QStringLiteral("　") + note);
    }
}

void ChartScreen::editBreedInfo()
{
    if (!applyTypedRecordNumber())
        return;
    QStringList kinds;
    if (!reportFailures(context.messages, this, [&] {
            kinds = sortedJapanese(PickListFile::readItems(QStringLiteral("syurui.txt")));
            kinds.removeDuplicates();
        }))
        return;
    BreedInfoDialog dialog(context.database, context.messages, kinds, this);
    {
        const HandlerScope running;
        dialog.exec();
    }
    // A kind's species decides which care falls due.
    shopDataChanged();
}

void ChartScreen::exportSaleLedger()
{
    if (!applyTypedRecordNumber())
        return;
    const QString path = context.files.saveForOtherPrograms(
        this, QStringLiteral("販売台帳をCSVに書き出す"),
        QStringLiteral("販売台帳_%1.csv")
            .arg(context.clock.now().date().toString(QStringLiteral("yyyyMMdd"))),
        QStringLiteral("CSV ファイル (*.csv)"));
    if (path.isEmpty())
        return;
    bool written = false;
    reportFailures(context.messages, this, [&] {
        const QList<LedgerRow> rows = SalesLedger::load(context.records, context.database.sales());
        const QString question = SalesLedger::mismatchQuestion(rows);
        if (!question.isEmpty() &&
            context.messages.ask(this, question, QStringLiteral("販売台帳"), MessageBoxes::Buttons::OkCancel,
                                 MessageBoxes::Icon::Warning,
                                 MessageBoxes::Answer::Cancel) != MessageBoxes::Answer::Ok)
            return;
        Csv::save(path, SalesLedger::table(rows), SalesLedger::numberColumns());
        written = true;
    });
    if (written)
        showWritten(Notices::CsvWritten, path);
}

void ChartScreen::editDealerInfo()
{
    if (!applyTypedRecordNumber())
        return;
    DealerInfoDialog dialog(context.database.sales(), context.messages, this);
    const HandlerScope running;
    dialog.exec();
}
