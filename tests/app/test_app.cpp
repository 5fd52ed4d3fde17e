#include "app/ScreenRegistry.h"
#include "app/ScreenWindow.h"
#include "store/Failure.h"
#include "support/ProgramFixture.h"

#include <QDir>
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
    ScreenContext context{registry, f->program->records(), f->messages, f->clock};
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

QTEST_MAIN(TestApp)
#include "test_app.moc"
