#include "app/HelpPage.h"
#include "browser/HelpBrowser.h"
#include "browser/TextWebViews.h"
#include "support/ScriptedMessageBoxes.h"
#include "widgets/MessageBoxes.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>

#include <memory>

// Takes the addresses handed to the system's browser, so no browser starts during the tests.
class BrowserRecorder : public QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl& url) { opened.append(url.toString()); }

public:
    QStringList opened;
};

// The help window on the plain text view: the manual shown in the window, web pages in the browser.
class TestTextView : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void manualOpensInTheWindow();
    void webAddressesGoToTheSystemBrowser_data();
    void webAddressesGoToTheSystemBrowser();
    void otherAddressesAreRefused_data();
    void otherAddressesAreRefused();
    void backAndForwardWithinTheManual();

private:
    void openManual();
    QComboBox* address() const { return browser->findChild<QComboBox*>(QStringLiteral("cboAddress")); }
    QTextBrowser* page() const { return browser->findChild<QTextBrowser*>(QStringLiteral("txtPage")); }
    QLabel* notice() const { return browser->findChild<QLabel*>(QStringLiteral("lblNotice")); }
    void click(const QString& key);
    void typeAndEnter(const QString& text);

    TextWebViews views{HelpPageAddress, SearchPageAddress};
    ScriptedMessageBoxes messages;
    BrowserRecorder recorder;
    std::unique_ptr<HelpBrowser> browser;
};

void TestTextView::init()
{
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &recorder, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
}

void TestTextView::cleanup()
{
    browser.reset();
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    recorder.opened.clear();
    messages.asked.clear();
}

void TestTextView::openManual()
{
    browser = std::make_unique<HelpBrowser>(views, messages);
    browser->StartingAddress = HelpPageAddress;
    browser->show();
    QTRY_COMPARE(browser->windowTitle(), QStringLiteral("ソラニカ ヘルプ"));
    QTRY_VERIFY(!browser->findChild<QTimer*>(QStringLiteral("timTimer"))->isActive());
}

void TestTextView::click(const QString& key)
{
    auto* toolbar = browser->findChild<QToolBar*>(QStringLiteral("tbToolBar"));
    QTest::mouseClick(toolbar->widgetForAction(toolbar->findChild<QAction*>(key)), Qt::LeftButton);
}

void TestTextView::typeAndEnter(const QString& text)
{
    address()->setFocus();
    address()->lineEdit()->selectAll();
    QTest::keyClicks(address(), text);
    QTest::keyClick(address(), Qt::Key_Return);
}

void TestTextView::manualOpensInTheWindow()
{
    openManual();
    QVERIFY(page()->isVisible());
    QVERIFY(page()->toPlainText().contains(QStringLiteral("ソラニカ")));
    QCOMPARE(address()->count(), 1);
    QCOMPARE(address()->itemText(0), QStringLiteral("qrc:/help/index.html"));
    QCOMPARE(address()->currentText(), QStringLiteral("qrc:/help/index.html"));
    QVERIFY(!notice()->isVisible());
    QVERIFY(browser->findChild<QLabel*>(QStringLiteral("lblMissingEngine")) == nullptr);
    QVERIFY(recorder.opened.isEmpty());
}

void TestTextView::webAddressesGoToTheSystemBrowser_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("opened");
    QTest::newRow("typed https") << "https://example.jp/a?b=1" << QString() << QString()
                                 << "https://example.jp/a?b=1";
    QTest::newRow("typed without scheme")
        << "www.example.jp" << QString() << QString() << "http://www.example.jp";
    QTest::newRow("search button") << QString() << "Search" << QString() << "https://www.google.co.jp/";
    QTest::newRow("link in the page") << QString() << QString() << "http://example.jp/shop"
                                      << "http://example.jp/shop";
}

void TestTextView::webAddressesGoToTheSystemBrowser()
{
    QFETCH(QString, typed);
    QFETCH(QString, button);
    QFETCH(QString, link);
    QFETCH(QString, opened);
    openManual();
    if (!typed.isEmpty())
        typeAndEnter(typed);
    if (!button.isEmpty())
        click(button);
    if (!link.isEmpty())
        emit page()->anchorClicked(QUrl(link));

    QCOMPARE(recorder.opened, QStringList{opened});
    QVERIFY(notice()->isVisible());
    QCOMPARE(notice()->text(), opened + QStringLiteral(" を、お使いのブラウザで開きました。"));
    // The manual stays in the window, and the window does not stay busy.
    QTRY_VERIFY(!browser->findChild<QTimer*>(QStringLiteral("timTimer"))->isActive());
    QCOMPARE(browser->windowTitle(), QStringLiteral("ソラニカ ヘルプ"));
    QVERIFY(page()->toPlainText().contains(QStringLiteral("ソラニカ")));
    QVERIFY(messages.asked.isEmpty());

    // Going back to the manual takes the notice away.
    click(QStringLiteral("Home"));
    QTRY_VERIFY(!notice()->isVisible());
}

void TestTextView::otherAddressesAreRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("local file") << "file:///etc/passwd"
                                << "このアドレスはヘルプでは開けません。 (file:///etc/passwd)";
    QTest::newRow("mail") << "mailto:shop@example.jp"
                          << "このアドレスはヘルプでは開けません。 (mailto:shop@example.jp)";
}

void TestTextView::otherAddressesAreRefused()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    openManual();
    const QString before = page()->toHtml();
    // Confirmed with Enter, the window passes over the failure; the view says what happened.
    typeAndEnter(typed);
    QVERIFY(messages.asked.isEmpty());
    QVERIFY(notice()->isVisible());
    QCOMPARE(notice()->text(), message);
    QVERIFY(recorder.opened.isEmpty());
    QCOMPARE(page()->source(), QUrl(HelpPageAddress));
    QCOMPARE(page()->toHtml(), before);

    // Chosen from the list, the failure is reported in a message box as well.
    address()->insertItem(0, typed);
    address()->setCurrentIndex(0);
    emit address()->activated(0);
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().text, message);

    // A link to such an address is not followed either.
    click(QStringLiteral("Home"));
    QTRY_VERIFY(!notice()->isVisible());
    emit page()->anchorClicked(QUrl(typed));
    QCOMPARE(notice()->text(), message);
    QCOMPARE(messages.asked.size(), 1);
    QVERIFY(recorder.opened.isEmpty());
    QCOMPARE(page()->toHtml(), before);
}

void TestTextView::backAndForwardWithinTheManual()
{
    openManual();
    emit page()->anchorClicked(QUrl(QStringLiteral("#chart")));
    QTRY_COMPARE(address()->itemText(0), QStringLiteral("qrc:/help/index.html#chart"));
    QCOMPARE(address()->count(), 2);

    click(QStringLiteral("Back"));
    QTRY_COMPARE(address()->itemText(0), QStringLiteral("qrc:/help/index.html"));
    QCOMPARE(address()->count(), 2);
    QCOMPARE(address()->currentText(), QStringLiteral("qrc:/help/index.html"));

    click(QStringLiteral("Forward"));
    QTRY_COMPARE(address()->itemText(0), QStringLiteral("qrc:/help/index.html#chart"));
    QCOMPARE(address()->itemText(1), QStringLiteral("qrc:/help/index.html"));
    QTRY_VERIFY(!browser->findChild<QTimer*>(QStringLiteral("timTimer"))->isActive());
    QCOMPARE(browser->windowTitle(), QStringLiteral("ソラニカ ヘルプ"));
    QVERIFY(messages.asked.isEmpty());
}

QTEST_MAIN(TestTextView)
#include "test_textview.moc"
