#include "app/ScreenRegistry.h"
#include "app/ScreenWindow.h"
#include "store/Failure.h"
#include "store/PetRecord.h"
#include "support/ProgramFixture.h"
#include "support/RealBoxes.h"
#include "widgets/FailureReport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

// The start screen and the rules by which screens come and go and the program ends.
class TestApp : public QObject
{
    Q_OBJECT
private slots:
    void init() { f = std::make_unique<ProgramFixture>(); }
    void cleanup() { f.reset(); }

    void startShowsOnlyTheStartScreenWithTodaysDate();
    void startButtonLeavesTheChartAloneOnScreen();
    void helpButtonOpensANewMaximisedWindowEachTime();
    void closingTheStartScreenWaitsForOpenHelpWindows();
    void hiddenScreenKeepsTheProgramRunning();
    void explicitEndClosesEverythingWithoutUnloading();
    void startScreenLoadsAfreshWhenShownAgain();
    void failingLoadLeavesTheScreenUnloaded();
    void masterDataThatCannotOpenLeavesTheStartScreenOpen();
    void unreadableChartStaysOpenBehindARealMessage_data();
    void unreadableChartStaysOpenBehindARealMessage();
    void noEndWhileAHandlerWaitsInAMessageBox();

private:
    QPushButton* button(const QString& window, const QString& name)
    {
        return f->control<QPushButton>(window, name);
    }

    std::unique_ptr<ProgramFixture> f;
};

void TestApp::startShowsOnlyTheStartScreenWithTodaysDate()
{
    f->start();
    QCOMPARE(f->visibleWindowNames(), QStringList{QStringLiteral("Form1")});
    QWidget* form1 = f->window(QStringLiteral("Form1"));
    QCOMPARE(form1->windowTitle(), QStringLiteral("ソラニカ"));
    QCOMPARE(form1->size(), QSize(381, 197));
    QCOMPARE(f->control<QLabel>(QStringLiteral("Form1"), QStringLiteral("Label3"))->text(),
             QStringLiteral("2026/12/07"));
    QCOMPARE(button(QStringLiteral("Form1"), QStringLiteral("Command1"))->text(), QStringLiteral("スタート"));
    QCOMPARE(button(QStringLiteral("Form1"), QStringLiteral("Command1"))->geometry(), QRect(12, 32, 173, 73));
    QVERIFY(!(form1->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(form1->windowFlags() & Qt::WindowMaximizeButtonHint));
}

void TestApp::startButtonLeavesTheChartAloneOnScreen()
{
    f->start();
    QTest::mouseClick(button(QStringLiteral("Form1"), QStringLiteral("Command1")), Qt::LeftButton);
    QTRY_COMPARE(f->visibleWindowNames(), QStringList{QStringLiteral("Form2")});
    QVERIFY(!f->window(QStringLiteral("Form1")));
    QCoreApplication::processEvents();
    QCOMPARE(f->exits, 0);
}

void TestApp::helpButtonOpensANewMaximisedWindowEachTime()
{
    f->start();
    QPushButton* help = button(QStringLiteral("Form1"), QStringLiteral("Command3"));
    QTest::mouseClick(help, Qt::LeftButton);
    QTest::mouseClick(help, Qt::LeftButton);
    const QList<QWidget*> browsers = f->windows(QStringLiteral("frmBrowser"));
    QCOMPARE(browsers.size(), 2);
    for (QWidget* browser : browsers) {
        QVERIFY(browser->isVisible());
        QVERIFY(browser->windowState() & Qt::WindowMaximized);
    }
    // Each window went to the manual on its own.
    QCOMPARE(f->webViews.made.size(), 2);
    for (FakeWebView* view : f->webViews.made)
        QCOMPARE(view->calls, QStringList{QStringLiteral("Navigate qrc:/help/index.html")});
    QVERIFY(f->window(QStringLiteral("Form1"))->isVisible());
}

void TestApp::closingTheStartScreenWaitsForOpenHelpWindows()
{
    f->start();
    QTest::mouseClick(button(QStringLiteral("Form1"), QStringLiteral("Command3")), Qt::LeftButton);
    f->window(QStringLiteral("Form1"))->close();
    QTRY_VERIFY(!f->window(QStringLiteral("Form1")));
    QTest::qWait(20);
    QCOMPARE(f->exits, 0);

    f->window(QStringLiteral("frmBrowser"))->close();
    QTRY_COMPARE(f->exits, 1);
}

void TestApp::hiddenScreenKeepsTheProgramRunning()
{
    f->start();
    ScreenRegistry& registry = f->program->registry();
    registry.show(ScreenName::Form2);
    registry.unload(ScreenName::Form1);
    registry.hide(ScreenName::Form2);
    QTest::qWait(20);
    QCOMPARE(f->exits, 0);
    QVERIFY(registry.loaded(ScreenName::Form2));

    registry.unload(ScreenName::Form2);
    QTRY_COMPARE(f->exits, 1);
}

void TestApp::explicitEndClosesEverythingWithoutUnloading()
{
    f->start();
    ScreenRegistry& registry = f->program->registry();
    QTest::mouseClick(button(QStringLiteral("Form1"), QStringLiteral("Command3")), Qt::LeftButton);
    bool unloadRan = false;
    connect(registry.loaded(ScreenName::Form1), &ScreenWindow::unloaded, this, [&] { unloadRan = true; });

    registry.endProgram();
    QCOMPARE(f->exits, 1);
    QVERIFY(registry.loadedWindows().isEmpty());
    QTest::qWait(20);
    QVERIFY(!unloadRan);
    QCOMPARE(f->exits, 1);
}

void TestApp::startScreenLoadsAfreshWhenShownAgain()
{
    f->start();
    ScreenRegistry& registry = f->program->registry();
    registry.show(ScreenName::Form2);
    registry.unload(ScreenName::Form1);
    QTRY_VERIFY(!f->window(QStringLiteral("Form1")));

    f->clock.set(QDateTime(QDate(2027, 1, 2), QTime(8, 0, 0)));
    registry.show(ScreenName::Form1);
    QCOMPARE(f->control<QLabel>(QStringLiteral("Form1"), QStringLiteral("Label3"))->text(),
             QStringLiteral("2027/01/02"));
}

// A screen whose load fails, as the editor's does without its pick lists.
class FailingScreen : public ScreenWindow
{
public:
    using ScreenWindow::ScreenWindow;
    void load() override { throw Failure::fileNotFound(QStringLiteral("syurui.txt")); }
};

void TestApp::failingLoadLeavesTheScreenUnloaded()
{
    ScreenRegistry& registry = f->program->registry();
    ChartListView listView;
    ScreenContext context{registry,
                          f->program->records(),
                          f->program->database(),
                          f->messages,
                          f->clock,
                          f->printer,
                          f->files,
                          f->program->backups(),
                          listView,
                          {}};
    registry.setFactory(ScreenName::Form3, [&] { return new FailingScreen(context); });
    f->start();
    QVERIFY_THROWS_EXCEPTION(Failure, registry.show(ScreenName::Form3));
    QVERIFY(!registry.loaded(ScreenName::Form3));
    QCOMPARE(f->visibleWindowNames(), QStringList{QStringLiteral("Form1")});
}

void TestApp::masterDataThatCannotOpenLeavesTheStartScreenOpen()
{
    QDir().mkdir(QStringLiteral("unti.txt")); // a pick-list file that cannot be created
    f->start();
    QTest::mouseClick(button(QStringLiteral("Form1"), QStringLiteral("Command2")), Qt::LeftButton);
    QCOMPARE(f->messages.asked.size(), 1);
    QVERIFY(f->messages.asked.first().text.contains(QStringLiteral("unti.txt")));
    QTRY_COMPARE(f->visibleWindowNames(), QStringList{QStringLiteral("Form1")});
    QTest::qWait(20);
    QCOMPARE(f->exits, 0);
}

void TestApp::unreadableChartStaysOpenBehindARealMessage_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("message");
    QTest::newRow("a folder in the data file's place")
        << true << QStringLiteral("ファイルを開けません。 (detapetto.dt)");
    QTest::newRow("32,768 records") << false << QStringLiteral("オーバーフローしました。");
}

// The start screen is gone and the chart not yet registered while its load shows why it is empty;
// a real box runs its own event loop meanwhile, in which the program must not end.
void TestApp::unreadableChartStaysOpenBehindARealMessage()
{
    QFETCH(bool, folder);
    QFETCH(QString, message);
    f.reset();
    f = std::make_unique<ProgramFixture>(ProgramFixture::Boxes::Real);
    if (folder) {
        QVERIFY(QDir().mkdir(QStringLiteral("detapetto.dt")));
    } else {
        QFile data(QStringLiteral("detapetto.dt"));
        QVERIFY(data.open(QIODevice::WriteOnly));
        QVERIFY(data.resize(qint64(RecordLength) * 32768));
    }
    RealBoxes boxes;
    f->start();
    QTest::mouseClick(button(QStringLiteral("Form1"), QStringLiteral("Command1")), Qt::LeftButton);
    QTRY_COMPARE(f->visibleWindowNames(), QStringList{QStringLiteral("Form2")});
    QTest::qWait(50);
    QCOMPARE(f->exits, 0);
    QCOMPARE(boxes.seen.size(), 1); // once, not again when the chart first becomes active
    QCOMPARE(boxes.seen.first().text, message);
    QCOMPARE(f->control<QLabel>(QStringLiteral("Form2"), QStringLiteral("Label2"))->text(), QString());
}

void TestApp::noEndWhileAHandlerWaitsInAMessageBox()
{
    f.reset();
    f = std::make_unique<ProgramFixture>(ProgramFixture::Boxes::Real);
    f->start();
    RealBoxes boxes;
    int exitsDuringTheBox = -1;
    ScreenRegistry& registry = f->program->registry();
    {
        // A handler closes the last window and then asks something before it returns; the end
        // check falls due while the box's own event loop runs.
        const HandlerScope handler;
        registry.unload(ScreenName::Form1);
        f->realMessages.ask(nullptr, QStringLiteral("確認"), QStringLiteral("ソラニカ"),
                            MessageBoxes::Buttons::Ok, MessageBoxes::Icon::None);
        exitsDuringTheBox = f->exits;
    }
    QCOMPARE(boxes.seen.size(), 1);
    QCOMPARE(exitsDuringTheBox, 0);
    // Once the handler has returned, no window is loaded: the program ends.
    QTRY_COMPARE(f->exits, 1);
}

QTEST_MAIN(TestApp)
#include "test_app.moc"
