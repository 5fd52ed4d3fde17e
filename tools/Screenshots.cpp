// Renders each screen of the program on the data in the working directory into PNG files, for the
// README: run by `make screenshots` on the demo shop under Xvfb. The program runs as the shop runs it,
// with the real message boxes and help window; only the clock is fixed, so the pictures stay the same.
//
// Usage: soranika_screenshots OUTPUT_DIR

#include "app/Application.h"
#include "app/HelpPage.h"
#include "app/Program.h"
#include "app/ScreenWindow.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/Printer.h"
#include "platform/SystemWebViews.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

QString outputDir;

[[noreturn]] void fail(const QString& what)
{
    std::fprintf(stderr, "screenshots: %s\n", qPrintable(what));
    std::exit(1);
}

// Waits until `window` is on the screen and has painted what it shows.
QWidget* settled(QWidget* window, const QString& name)
{
    if (!window || !QTest::qWaitForWindowExposed(window))
        fail(name + QStringLiteral(" did not appear"));
    QTest::qWait(400);
    return window;
}

// What the window shows, taken from the screen, so that the help window's page is in it too.
void save(QWidget* window, const QString& fileName)
{
    const QPixmap shot = window->screen()->grabWindow(window->winId());
    if (shot.isNull() || !shot.save(QDir(outputDir).filePath(fileName)))
        fail(QStringLiteral("cannot write ") + fileName);
    std::printf("%s\n", qPrintable(QDir(outputDir).filePath(fileName)));
}

template <typename T> T* control(QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        fail(QStringLiteral("no control ") + QString::fromLatin1(name));
    return found;
}

void click(QWidget* window, const char* button)
{
    QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
}

void shootAll(Program& program)
{
    ScreenRegistry& screens = program.registry();
    QWidget* start = settled(screens.loaded(ScreenName::Form1), QStringLiteral("the start screen"));
    save(start, QStringLiteral("01-start.png"));

    click(start, "Command1");
    QWidget* chart = settled(screens.loaded(ScreenName::Form2), QStringLiteral("the chart screen"));
    save(chart, QStringLiteral("02-chart.png"));

    // The sale date typed straight into the chart: the save button appears, the commands wait.
    auto* saleDate = control<QLineEdit>(chart, "Text7");
    QTest::mouseClick(saleDate, Qt::LeftButton);
    QTest::keyClicks(saleDate, QStringLiteral("2026/12/7"));
    QTest::qWait(300);
    save(chart, QStringLiteral("03-chart-direct-entry.png"));
    QTest::keyClick(saleDate, Qt::Key_Escape);

    QTimer::singleShot(0, [] {
        QWidget* list = nullptr;
        if (!QTest::qWaitFor([&] { return (list = QApplication::activeModalWidget()) != nullptr; }, 10000))
            fail(QStringLiteral("the chart list did not open"));
        save(settled(list, QStringLiteral("the chart list")), QStringLiteral("04-chart-list.png"));
        static_cast<QDialog*>(list)->reject();
    });
    control<QAction>(chart, "actChartList")->trigger();

    // The file menu, with the backup commands, over the chart: taken from the screen around both.
    auto* fileMenu = control<QMenu>(chart, "fileMenu");
    fileMenu->popup(chart->mapToGlobal(QPoint(4, 20)));
    settled(fileMenu, QStringLiteral("the file menu"));
    const QRect around = chart->frameGeometry();
    const QPixmap menuShot =
        chart->screen()->grabWindow(0, around.x(), around.y(), around.width(), around.height());
    if (menuShot.isNull() || !menuShot.save(QDir(outputDir).filePath(QStringLiteral("08-file-menu.png"))))
        fail(QStringLiteral("cannot write 08-file-menu.png"));
    fileMenu->hide();

    // The microchip and buyer of a sold animal, as typed before OK.
    QTimer::singleShot(0, [] {
        QWidget* dialog = nullptr;
        if (!QTest::qWaitFor([&] { return (dialog = QApplication::activeModalWidget()) != nullptr; }, 10000))
            fail(QStringLiteral("the sale information did not open"));
        control<QLineEdit>(dialog, "microchip")->setText(QStringLiteral("392141000123456"));
        control<QLineEdit>(dialog, "chipImplanted")->setText(QStringLiteral("2026/10/20"));
        control<QLineEdit>(dialog, "buyerName")->setText(QStringLiteral("山田 花子"));
        control<QLineEdit>(dialog, "buyerAddress")->setText(QStringLiteral("東京都千代田区丸の内1-2-3"));
        control<QLineEdit>(dialog, "explainedOn")->setText(QStringLiteral("2026/12/7"));
        save(settled(dialog, QStringLiteral("the sale information")), QStringLiteral("09-sale-info.png"));
        static_cast<QDialog*>(dialog)->reject();
    });
    control<QAction>(chart, "actSaleInfo")->trigger();

    click(chart, "Command1");
    QWidget* editor = settled(screens.loaded(ScreenName::Form3), QStringLiteral("the editor"));
    save(editor, QStringLiteral("05-editor.png"));
    click(editor, "Command1");
    chart = settled(screens.loaded(ScreenName::Form2), QStringLiteral("the chart screen"));

    click(chart, "Command2");
    QWidget* masterData = settled(screens.loaded(ScreenName::Form4), QStringLiteral("the master data"));
    save(masterData, QStringLiteral("06-master-data.png"));
    click(masterData, "Command19");

    // Without a window manager nothing maximises the help window: it gets a screen-sized frame here.
    QWidget* help = screens.openHelp(HelpPageAddress);
    help->setGeometry(0, 0, 1024, 720);
    if (!QTest::qWaitFor([&] { return help->windowTitle() == QStringLiteral("ソラニカ ヘルプ"); }, 30000))
        fail(QStringLiteral("the help page did not load"));
    QTest::qWait(1500);
    save(settled(help, QStringLiteral("the help window")), QStringLiteral("07-help.png"));
    screens.endProgram();
    // The help window's page goes before the web engine does.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    outputDir = QString::fromLocal8Bit(argv[1]);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    setUpApplication();
    if (!QDir().mkpath(outputDir))
        fail(QStringLiteral("cannot make ") + outputDir);

    RealMessageBoxes messages;
    FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 24, 36))};
    SystemPrinter printer;
    RealFileDialogs files;
    const std::unique_ptr<WebViewFactory> webViews = systemWebViews(HelpPageAddress, SearchPageAddress);
    Program program(messages, clock, printer, files, *webViews);
    program.registry().setExitHandler([] {});
    program.start();
    shootAll(program);
    return 0;
}
