#include "platform/ActivationWatcher.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <memory>

// When a window counts as becoming the program's active window.
class TestActivation : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void firstShowingAndSwitchingBetweenWindowsCount();
    void comingBackFromAnotherProgramDoesNotCount();
    void showingAgainAfterHidingCounts();
    void closingAMessageBoxDoesNotCount();

private:
    void activate(QWidget* window);
    int activationsOf(QWidget* window) const { return int(activated.count(window)); }

    std::unique_ptr<QWidget> first;
    std::unique_ptr<QWidget> second;
    QList<QWidget*> activated;
};

void TestActivation::init()
{
    first = std::make_unique<QWidget>();
    second = std::make_unique<QWidget>();
    activated.clear();
    connect(&ActivationWatcher::instance(), &ActivationWatcher::activated, this,
            [this](QWidget* window) { activated.append(window); });
}

void TestActivation::cleanup()
{
    disconnect(&ActivationWatcher::instance(), nullptr, this, nullptr);
    first.reset();
    second.reset();
}

void TestActivation::activate(QWidget* window)
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void TestActivation::firstShowingAndSwitchingBetweenWindowsCount()
{
    activate(first.get());
    QCOMPARE(activationsOf(first.get()), 1);
    activate(second.get());
    activate(first.get());
    QCOMPARE(activationsOf(first.get()), 2);
    QCOMPARE(activationsOf(second.get()), 1);
}

void TestActivation::comingBackFromAnotherProgramDoesNotCount()
{
    activate(first.get());
    // Another program takes the focus: the program has no focus window for a while.
    first->windowHandle()->requestActivate();
    emit qApp->focusWindowChanged(nullptr);
    emit qApp->focusWindowChanged(first->windowHandle());
    QCOMPARE(activationsOf(first.get()), 1);
}

void TestActivation::showingAgainAfterHidingCounts()
{
    activate(first.get());
    first->hide();
    activate(first.get());
    QCOMPARE(activationsOf(first.get()), 2);
}

void TestActivation::closingAMessageBoxDoesNotCount()
{
    activate(first.get());
    QTimer::singleShot(0, this, [] {
        QWidget* box = QApplication::activeModalWidget();
        if (box)
            box->close();
    });
    QMessageBox::information(first.get(), QStringLiteral("ソラニカ"), QStringLiteral("テスト"));
    activate(first.get());
    QCOMPARE(activationsOf(first.get()), 1);
}

QTEST_MAIN(TestActivation)
#include "test_activation.moc"
