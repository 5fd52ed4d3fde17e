#include "app/HelpPage.h"
#include "browser/EngineWebViews.h"
#include "browser/HelpBrowser.h"
#include "support/ScriptedMessageBoxes.h"
#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace {

// Whether a library of the web engine is mapped into this process.
bool webEngineMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return false;
    return maps.readAll().contains("libQt6WebEngineCore");
}

QStringList listOf(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

constexpr int PageTimeout = 20000;

} // namespace

// The help window on the real web engine, offscreen, with the manual compiled into the program.
class TestBrowserEngine : public QObject
{
    Q_OBJECT
private slots:
    void manualOpensWithItsTitleAndTheEngineLoadsOnlyThen();
};

void TestBrowserEngine::manualOpensWithItsTitleAndTheEngineLoadsOnlyThen()
{
    if (!QFile::exists(QStringLiteral("/proc/self/maps")))
        QSKIP("needs /proc to see which libraries are mapped");
    QVERIFY(!webEngineMapped());

    ScriptedMessageBoxes messages;
    EngineWebViews engine(HelpPageAddress, SearchPageAddress, {QStringLiteral(SORANIKA_MODULE_BUILD_DIR)});
    HelpBrowser browser(engine, messages);
    browser.StartingAddress = HelpPageAddress;
    browser.show();
    QVERIFY(webEngineMapped());

    auto* timer = browser.findChild<QTimer*>(QStringLiteral("timTimer"));
    auto* address = browser.findChild<QComboBox*>(QStringLiteral("cboAddress"));
    QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), PageTimeout);
    QCOMPARE(browser.windowTitle(), QStringLiteral("ソラニカ ヘルプ"));
    QCOMPARE(listOf(address), QStringList{HelpPageAddress});

    // A part of the page, then back: the page's address moves to the top again.
    const QString printing = HelpPageAddress + QStringLiteral("#print");
    address->lineEdit()->setText(printing);
    QTest::keyClick(address, Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(listOf(address), (QStringList{printing, HelpPageAddress}), PageTimeout);
    auto* toolbar = browser.findChild<QToolBar*>(QStringLiteral("tbToolBar"));
    toolbar->findChild<QAction*>(QStringLiteral("Back"))->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(listOf(address), (QStringList{HelpPageAddress, printing}), PageTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), PageTimeout);
    QCOMPARE(browser.windowTitle(), QStringLiteral("ソラニカ ヘルプ"));
    QVERIFY(messages.asked.isEmpty());
}

int main(int argc, char* argv[])
{
    // As in the program: the engine shares the application's graphics contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestBrowserEngine test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_browser_engine.moc"
