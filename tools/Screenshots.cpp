// Renders each screen of the program on the data in the working directory into PNG files, for the
// README: run by `make screenshots` on the demo shop under Xvfb. The program runs as the shop runs it,
// with the real message boxes and help window; only the clock is fixed, so the pictures stay the same.
//
// Usage: soranika_screenshots OUTPUT_DIR

#include "app/Application.h"
#include "app/HelpPage.h"
#include "app/Program.h"
#include "app/ScreenWindow.h"
#include "browser/SystemWebViews.h"
#include "platform/Clock.h"
#include "store/AnimalOutcomes.h"
#include "store/DateText.h"
#include "store/DisplayText.h"
#include "store/FreeText.h"
#include "store/PickListFile.h"
#include "store/RecordFile.h"
#include "support/FixedClock.h"
#include "widgets/FileDialogs.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Printer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>

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

void type(QWidget* dialog, const char* box, const QString& text)
{
    control<QLineEdit>(dialog, box)->setText(text);
}

// Opens a dialog by its menu command, lets `fill` type into it, saves its picture and closes it with
// nothing stored.
void shootDialog(QWidget* chart, const char* action, const QString& fileName,
                 const std::function<void(QWidget*)>& fill)
{
    QTimer::singleShot(0, [=] {
        QWidget* dialog = nullptr;
        if (!QTest::qWaitFor([&] { return (dialog = QApplication::activeModalWidget()) != nullptr; }, 10000))
            fail(QString::fromLatin1(action) + QStringLiteral(" opened no dialog"));
        fill(dialog);
        save(settled(dialog, fileName), fileName);
        static_cast<QDialog*>(dialog)->reject();
    });
    control<QAction>(chart, action)->trigger();
}

// Selling, leaving, the record book and the yearly report, on chart 1, which is in stock (the demo
// shop's breeds are dogs and cats already).
void shootSelling(QWidget* chart)
{
    auto* number = control<QLineEdit>(chart, "Text1");
    number->setFocus();
    number->selectAll();
    QTest::keyClicks(number, QStringLiteral("1"));
    QTest::keyClick(number, Qt::Key_Return);

    shootDialog(chart, "actSell", QStringLiteral("10-sell.png"), [](QWidget* dialog) {
        type(dialog, "price", QStringLiteral("248,000"));
        type(dialog, "buyerName", QStringLiteral("山田 花子"));
        type(dialog, "buyerAddress", QStringLiteral("東京都千代田区丸の内1-2-3"));
        type(dialog, "buyerPhone", QStringLiteral("03-1234-5678"));
        type(dialog, "explainedOn", QStringLiteral("2026/12/7"));
        type(dialog, "microchip", QStringLiteral("392141000123456"));
        control<QCheckBox>(dialog, "chipRegistered")->setChecked(true);
    });
    shootDialog(chart, "actLeave", QStringLiteral("11-leave.png"), [](QWidget* dialog) {
        type(dialog, "leftOn", QStringLiteral("2026/12/7"));
        control<QComboBox>(dialog, "kind")->setCurrentIndex(1);
        type(dialog, "detail", QStringLiteral("田中 一郎（東京都港区芝公園4-2-8）"));
    });
    shootDialog(chart, "actRecordBook", QStringLiteral("12-record-book.png"), [](QWidget*) {});
    shootDialog(chart, "actDealerInfo", QStringLiteral("14-dealer-info.png"), [](QWidget* dialog) {
        type(dialog, "registrationNumber", QStringLiteral("東京都 第123456号"));
        type(dialog, "animalHandler", QStringLiteral("佐藤 一郎"));
        control<QPlainTextEdit>(dialog, "item5")
            ->setPlainText(QStringLiteral(
                "子犬用フードを1日3〜4回に分けて与え、新鮮な水をいつでも飲めるようにします。"));
    });
    // The demo shop bought its animals this year: the year under way shows them.
    shootDialog(chart, "actYearlyReport", QStringLiteral("13-yearly-report.png"),
                [](QWidget* dialog) { control<QSpinBox>(dialog, "fiscalYear")->setValue(2026); });
}

// The care intervals under 各種データ登録 (from the master-data screen, which is open), the chart
// screen's notice of overdue care, and お店の状況. The demo shop's sales typed on its charts were taken in
// at start, with their planned prices.
void shootOverview(ScreenRegistry& screens, QWidget* masterData)
{
    QTimer::singleShot(0, [] {
        QWidget* dialog = nullptr;
        if (!QTest::qWaitFor([&] { return (dialog = QApplication::activeModalWidget()) != nullptr; }, 10000))
            fail(QStringLiteral("ケア間隔 opened no dialog"));
        auto* table = control<QTableWidget>(dialog, "carePlans");
        // Figures, then the animals a plan is for and the plans it makes unneeded, as a shop sets them.
        const QMap<QString, QStringList> plans{
            {QStringLiteral("混合ワクチン（5種）"), {"42", "28", "3", "犬", ""}},
            {QStringLiteral("混合ワクチン（3種）"), {"56", "28", "2", "猫", "混合ワクチン（5種）"}},
            {QStringLiteral("フィラリア予防薬"), {"", "30", "", "犬", ""}},
            {QStringLiteral("駆虫薬"), {"", "14", "2", "すべて", ""}}};
        for (int row = 0; row < table->rowCount(); ++row) {
            const QStringList cells = plans.value(table->item(row, 0)->text());
            if (cells.isEmpty())
                continue;
            for (int column = 0; column < 3; ++column)
                table->item(row, column + 1)->setText(cells[column]);
            control<QComboBox>(dialog, QStringLiteral("animals%1").arg(row + 1).toLatin1().constData())
                ->setCurrentText(cells[3]);
            table->item(row, 5)->setText(cells[4]);
        }
        save(settled(dialog, QStringLiteral("the care intervals")), QStringLiteral("18-care-plans.png"));
        static_cast<QDialog*>(dialog)->accept();
    });
    click(masterData, "careIntervals");
    // OK goes back to the start screen; スタート opens the chart screen with its notice of overdue care.
    click(masterData, "Command19");
    QWidget* start = settled(screens.loaded(ScreenName::Form1), QStringLiteral("the start screen"));
    click(start, "Command1");
    QWidget* chart = settled(screens.loaded(ScreenName::Form2), QStringLiteral("the chart screen"));
    save(chart, QStringLiteral("19-chart-care-notice.png"));

    // お店の状況 is a window that stays open beside the chart.
    control<QAction>(chart, "actOverview")->trigger();
    QWidget* overview =
        settled(chart->findChild<QWidget*>(QStringLiteral("ShopOverview")), QStringLiteral("the overview"));
    const QStringList pages{QStringLiteral("15-overview-stock.png"), QStringLiteral("16-overview-months.png"),
                            QStringLiteral("17-overview-care.png")};
    for (int page = 0; page < pages.size(); ++page) {
        control<QTabWidget>(overview, "tabs")->setCurrentIndex(page);
        save(settled(overview, pages[page]), pages[page]);
    }
    overview->close();
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

    shootDialog(chart, "actChartList", QStringLiteral("04-chart-list.png"), [](QWidget*) {});

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
    shootDialog(chart, "actSaleInfo", QStringLiteral("09-sale-info.png"), [](QWidget* dialog) {
        type(dialog, "microchip", QStringLiteral("392141000123456"));
        type(dialog, "chipImplanted", QStringLiteral("2026/10/20"));
        type(dialog, "buyerName", QStringLiteral("山田 花子"));
        type(dialog, "buyerAddress", QStringLiteral("東京都千代田区丸の内1-2-3"));
        type(dialog, "explainedOn", QStringLiteral("2026/12/7"));
    });
    shootSelling(chart);

    click(chart, "Command1");
    QWidget* editor = settled(screens.loaded(ScreenName::Form3), QStringLiteral("the editor"));
    save(editor, QStringLiteral("05-editor.png"));
    click(editor, "Command1");
    chart = settled(screens.loaded(ScreenName::Form2), QStringLiteral("the chart screen"));

    click(chart, "Command2");
    QWidget* masterData = settled(screens.loaded(ScreenName::Form4), QStringLiteral("the master data"));
    save(masterData, QStringLiteral("06-master-data.png"));
    shootOverview(screens, masterData);

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
