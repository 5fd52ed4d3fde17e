#include "app/Program.h"

#include "app/StartScreen.h"
#include "app/StartupRecovery.h"
#include "backup/BackupService.h"
#include "backup/SaleStoreEntry.h"
#include "browser/HelpBrowser.h"
#include "chart/ChartScreen.h"
#include "editor/EditorScreen.h"
#include "masterdata/MasterDataScreen.h"
#include "store/Failure.h"

#include <QEvent>
#include <QTimer>

namespace {

// Calls `then` once `window` has been painted for the first time, after that paint is done, as
// long as `receiver` lives.
class AfterFirstPaint : public QObject
{
public:
    AfterFirstPaint(QWidget* window, QObject* receiver, std::function<void()> then)
        : QObject(window), receiver(receiver), then(std::move(then))
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parent() && event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, receiver, then);
            deleteLater();
        }
        return false;
    }

private:
    QObject* receiver;
    std::function<void()> then;
};

} // namespace

Program::Program(MessageBoxes& messages, Clock& clock, Printer& printer, FileDialogs& files,
                 WebViewFactory& webViews)
    : backupService(std::make_unique<BackupService>(clock)), context{screens,  recordFile,     shopDatabase,
                                                                     messages, clock,          printer,
                                                                     files,    *backupService, chartListView,
                                                                     {}}
{
    screens.setFactory(ScreenName::Form1, [this] { return new StartScreen(context); });
    screens.setFactory(ScreenName::Form2, [this] { return new ChartScreen(context); });
    screens.setFactory(ScreenName::Form3, [this] { return new EditorScreen(context); });
    screens.setFactory(ScreenName::Form4, [this] { return new MasterDataScreen(context); });
    addSaleStoreToBackups();
    screens.setBrowserFactory([&messages, &webViews](const QString& address) {
        auto* browser = new HelpBrowser(webViews, messages);
        browser->StartingAddress = address;
        return browser;
    });
}

Program::~Program() = default;

void Program::addSaleStoreToBackups()
{
    backupService->addExtraEntry(saleStoreEntry(shopDatabase.sales()));
}

void Program::start()
{
    ScreenWindow* startScreen = screens.show(ScreenName::Form1);
    // After the first paint, so the start screen appears as soon as it did without them: a chart change
    // a kill cut short is undone before the backup or any screen reads the data (the start screen
    // reads none), then the daily backup starts.
    new AfterFirstPaint(startScreen, backupService.get(), [this] {
        settleChartChanges(shopDatabase, context.messages);
        backupService->startDailyBackup();
    });
}
