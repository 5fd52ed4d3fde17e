#include "chart/ChartScreen.h"

#include "app/Application.h"
#include "chartlist/ChartList.h"
#include "platform/Clock.h"
#include "platform/FailureReport.h"
#include "platform/FileDialogs.h"
#include "platform/Printer.h"
#include "store/RecordFile.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenuBar>

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
    actSavePdf =
        action(fileMenu, "actSavePdf", QStringLiteral("PDFに保存(&P)..."), &ChartScreen::saveChartAsPdf);
    actExportCsv = action(fileMenu, "actExportCsv", QStringLiteral("CSVに書き出す(&E)..."),
                          &ChartScreen::exportAllCharts);
    fileMenu->addSeparator();
    actQuit = action(fileMenu, "actQuit", QStringLiteral("終了(&X)"), &ChartScreen::quit);

    helpMenu = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    actHelp = action(helpMenu, "actHelp", QStringLiteral("ヘルプページ(&H)"), &ChartScreen::openHelp);
    actHelp->setShortcut(QKeySequence(Qt::Key_F1));
    actAbout = action(helpMenu, "actAbout", QStringLiteral("ソラニカについて(&A)"), &ChartScreen::showAbout);
    return bar;
}

void ChartScreen::openChartList()
{
    if (!applyTypedRecordNumber())
        return;
    std::unique_ptr<ChartList> list;
    if (!reportFailures(context.messages, this, [&] {
            list = std::make_unique<ChartList>(context.records.fileName(), context.messages, context.files,
                                               context.clock.now().date(), this);
        }))
        return;
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
    const QString suggested =
        QDir(documentsFolder()).filePath(QStringLiteral("カルテ_%1.pdf").arg(shownNumber));
    const QString path = context.files.saveFileName(this, QStringLiteral("PDFに保存"), suggested,
                                                    QStringLiteral("PDF ファイル (*.pdf)"));
    if (path.isEmpty())
        return;
    reportFailures(context.messages, this, [&] {
        writeLinesToPdf(printoutLines(), path, QStringLiteral("カルテ %1").arg(shownNumber));
    });
}

void ChartScreen::exportAllCharts()
{
    if (!applyTypedRecordNumber())
        return;
    QList<QStringList> rows;
    if (reportFailures(context.messages, this, [&] { rows = allChartRows(context.records.fileName()); }))
        exportChartsToCsv(rows, context.messages, context.files, context.clock.now().date(), this);
}

void ChartScreen::showAbout()
{
    context.messages.ask(
        this,
        QStringLiteral("ソラニカ バージョン %1\n\nペットショップのカルテ管理プログラム").arg(ProgramVersion),
        QStringLiteral("ソラニカについて"), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::None);
}
