#include "app/HelpPage.h"
#include "browser/EngineWebViews.h"
#include "browser/HelpBrowser.h"
#include "support/FakeWebView.h"
#include "support/ProgramFixture.h"
#include "support/ScriptedMessageBoxes.h"
#include "widgets/MessageBoxes.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <memory>

#include <unistd.h>

namespace {

const QString Manual = QStringLiteral("qrc:/help/index.html");

QStringList listOf(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

QString readSource(const QString& path)
{
    QFile file(QStringLiteral(SORANIKA_SOURCE_DIR "/") + path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A text cut into its sentences: at line ends, and after each 。 or ？ that is not followed by a
// file name in brackets ("ファイルが見つかりません。 (syurui.txt)" is one).
QStringList sentences(const QString& text)
{
    static const QRegularExpression end(QStringLiteral("(?<=[。？])(?!\\s*\\()|\\n"));
    QStringList parts;
    for (const QString& part : text.split(end))
        if (!part.trimmed().isEmpty())
            parts.append(part.trimmed());
    return parts;
}

// The sentences of every string literal in the program's sources, each as a pattern in which a
// "%1" placeholder stands for any text. Literals written next to each other are one text.
QList<QRegularExpression> programSentences()
{
    static const QRegularExpression adjacent(QStringLiteral("\"\\s*\\n\\s*\""));
    static const QRegularExpression literal(QStringLiteral("\"((?:[^\"\\\\\\n]|\\\\.)*)\""));
    static const QRegularExpression placeholder(QStringLiteral("\\\\%[1-9]"));
    static const QRegularExpression digitPlaceholder(QStringLiteral("%[1-9]"));
    static const QRegularExpression wordCharacter(QStringLiteral("[\\x{3040}-\\x{30FF}\\x{4E00}-\\x{9FFF}]"));
    QList<QRegularExpression> patterns;
    QDirIterator files(QStringLiteral(SORANIKA_SOURCE_DIR "/src"),
                       {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString code = QString::fromUtf8(file.readAll()).replace(adjacent, QString());
        for (const QRegularExpressionMatch& match : literal.globalMatch(code)) {
            const QString text = match.captured(1)
                                     .replace(QStringLiteral("\\n"), QStringLiteral("\n"))
                                     .replace(QStringLiteral("\\\""), QStringLiteral("\""));
            for (const QString& sentence : sentences(text)) {
                // A sentence of placeholders and punctuation ("%1：%2") would stand for any quote.
                if (QString(sentence).remove(digitPlaceholder).count(wordCharacter) < 3)
                    continue;
                patterns.append(QRegularExpression(QRegularExpression::anchoredPattern(
                    QRegularExpression::escape(sentence).replace(placeholder, QStringLiteral(".+")))));
            }
        }
    }
    return patterns;
}

// What the manual and the README quote as the program's words: the first column of the manual's
// table of messages, and every 「…」 that ends like a message or a question.
QStringList quotedMessages()
{
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    const auto plain = [](QString html) {
        return html.replace(QStringLiteral("<br>"), QStringLiteral("\n"))
            .remove(tag)
            .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    };
    const QString manual = readSource(QStringLiteral("src/browser/help/index.html"));
    QStringList quoted;
    const QString table =
        manual.section(QStringLiteral("id=\"messages\""), 1).section(QStringLiteral("</table>"), 0, 0);
    static const QRegularExpression firstCell(QStringLiteral("<tr><td>(.*?)</td>"));
    for (const QRegularExpressionMatch& cell : firstCell.globalMatch(table))
        quoted.append(plain(cell.captured(1)));
    static const QRegularExpression quote(QStringLiteral("「((?:[^「」]|「[^「」]*」)+[。？])」"));
    for (const QString& text : {plain(manual), readSource(QStringLiteral("README.md"))})
        for (const QRegularExpressionMatch& match : quote.globalMatch(text))
            quoted.append(match.captured(1));
    return quoted;
}

} // namespace

// The help window against a fake web view, and the help windows in the whole program.
class TestBrowser : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();

    void layoutAsDrawn();
    void emptyStartingAddressOpensNothing();
    void startingAddressEndsOnceAtTheTop_data();
    void startingAddressEndsOnceAtTheTop();
    void goingBackMovesTheAddressToTheTop();
    void enterAndListChoiceNavigate();
    void captionWhileLoadingAndAfter();
    void stopTurnsTheTimerOffAtOnce();
    void toolbarButtonsAskTheView_data();
    void toolbarButtonsAskTheView();
    void failingStepsAreSkippedOrReported();
    void resizeKeepsTheMarginsAndSkipsNegativeSizes();
    void missingEngineShowsTheManualPlainAndSaysWhy_data();
    void missingEngineShowsTheManualPlainAndSaysWhy();

    void chartHomeOpensANewManualWindowEachTime();
    void quittingFromTheChartClosesHelpWindows();
    void manualQuotesOnlyWhatTheProgramSays();

private:
    // A shown help window on `address`, as the program opens one.
    void open(const QString& address);
    FakeWebView* view() const { return views.made.last(); }
    QComboBox* address() const { return browser->findChild<QComboBox*>(QStringLiteral("cboAddress")); }
    QTimer* timer() const { return browser->findChild<QTimer*>(QStringLiteral("timTimer")); }
    void click(const QString& key);
    void typeAndEnter(const QString& text);

    FakeWebViews views;
    ScriptedMessageBoxes messages;
    std::unique_ptr<HelpBrowser> browser;
};

void TestBrowser::open(const QString& startingAddress)
{
    browser = std::make_unique<HelpBrowser>(views, messages);
    browser->StartingAddress = startingAddress;
    browser->show();
}

void TestBrowser::cleanup()
{
    browser.reset();
    messages.asked.clear();
}

void TestBrowser::click(const QString& key)
{
    auto* toolbar = browser->findChild<QToolBar*>(QStringLiteral("tbToolBar"));
    QWidget* button = toolbar->widgetForAction(toolbar->findChild<QAction*>(key));
    QTest::mouseClick(button, Qt::LeftButton);
}

void TestBrowser::typeAndEnter(const QString& text)
{
    address()->setFocus();
    address()->lineEdit()->selectAll();
    QTest::keyClicks(address(), text);
    QTest::keyClick(address(), Qt::Key_Return);
}

void TestBrowser::layoutAsDrawn()
{
    open(QString());
    // The light grey the icons are drawn on is see-through.
    for (QAction* button : browser->findChild<QToolBar*>(QStringLiteral("tbToolBar"))->actions()) {
        const QImage icon = button->icon().pixmap(24, 24).toImage();
        QCOMPARE(icon.size(), QSize(24, 24));
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
        int drawn = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                drawn += qAlpha(icon.pixel(x, y)) > 0;
        QVERIFY2(drawn > 60, qPrintable(button->objectName()));
    }
    QCOMPARE(address()->pos(), QPoint(3, 22)); // moved on load: left 50, top just under the label

    // Alt+A selects the address to be typed over, also when the box has the focus already.
    browser->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(browser.get()));
    address()->setEditText(Manual);
    for (int press = 0; press < 2; ++press) {
        address()->lineEdit()->deselect();
        QTest::keyClick(browser.get(), Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(address()->hasFocus());
        QCOMPARE(address()->lineEdit()->selectedText(), Manual);
    }
}

void TestBrowser::emptyStartingAddressOpensNothing()
{
    open(QString());
    QCoreApplication::processEvents();
    QVERIFY(view()->calls.isEmpty());
    QVERIFY(!timer()->isActive());
    QCOMPARE(address()->count(), 0);
    QCOMPARE(browser->windowTitle(), QString());
}

void TestBrowser::startingAddressEndsOnceAtTheTop_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("arrivedAt");
    QTest::addColumn<QStringList>("list");
    QTest::newRow("same address") << Manual << Manual << QStringList{Manual};
    QTest::newRow("redirect") << "http://example.jp/"
                              << "https://www.example.jp/"
                              << QStringList{"https://www.example.jp/", "http://example.jp/"};
    // Equal means equal to the letter: a page that comes back in other capitals is another address.
    QTest::newRow("case differs") << "http://example.jp/A"
                                  << "http://example.jp/a"
                                  << QStringList{"http://example.jp/a", "http://example.jp/A"};
}

void TestBrowser::startingAddressEndsOnceAtTheTop()
{
    QFETCH(QString, start);
    QFETCH(QString, arrivedAt);
    QFETCH(QStringList, list);
    open(start);
    QCOMPARE(view()->calls, QStringList{"Navigate " + start});
    QVERIFY(timer()->isActive());
    QCOMPARE(listOf(address()), QStringList{start});

    view()->arrive(arrivedAt, QStringLiteral("題名"));
    QCOMPARE(listOf(address()), list);
    QCOMPARE(address()->currentText(), arrivedAt);
    QCOMPARE(view()->calls.size(), 1);
}

void TestBrowser::goingBackMovesTheAddressToTheTop()
{
    open(Manual);
    view()->arrive(Manual, QStringLiteral("ソラニカ ヘルプ"));
    view()->arrive(QStringLiteral("qrc:/help/index.html#print"), QStringLiteral("ソラニカ ヘルプ"));
    view()->arrive(QStringLiteral("https://www.google.co.jp/"), QStringLiteral("Google"));

    click(QStringLiteral("Back"));
    QCOMPARE(view()->calls.last(), QStringLiteral("GoBack"));
    view()->arrive(QStringLiteral("qrc:/help/index.html#print"), QStringLiteral("ソラニカ ヘルプ"));
    QCOMPARE(listOf(address()),
             (QStringList{"qrc:/help/index.html#print", "https://www.google.co.jp/", Manual}));
    QCOMPARE(address()->currentText(), QStringLiteral("qrc:/help/index.html#print"));
}

void TestBrowser::enterAndListChoiceNavigate()
{
    open(Manual);
    view()->arrive(Manual, QStringLiteral("ソラニカ ヘルプ"));
    view()->arrive(QStringLiteral("https://www.google.co.jp/"), QStringLiteral("Google"));
    view()->finishLoading();
    QTRY_VERIFY(!timer()->isActive());
    view()->calls.clear();

    typeAndEnter(QStringLiteral("https://example.jp/"));
    QCOMPARE(view()->calls, QStringList{"Navigate https://example.jp/"});
    QVERIFY(timer()->isActive());
    // Typing adds nothing to the list: only pages arrived at are listed.
    QCOMPARE(address()->count(), 2);

    // Typed text that matches a listed address goes there once, and only on Enter.
    view()->calls.clear();
    address()->setFocus();
    address()->lineEdit()->selectAll();
    QTest::keyClicks(address(), Manual);
    browser->findChild<QToolBar*>()->setFocus();
    QCOMPARE(view()->calls, QStringList());
    typeAndEnter(Manual);
    QCOMPARE(view()->calls, QStringList{"Navigate " + Manual});

    view()->calls.clear();
    address()->showPopup();
    QAbstractItemView* list = address()->view();
    QTRY_VERIFY(list->isVisible());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(1, 0)).center());
    QCOMPARE(view()->calls, QStringList{"Navigate " + Manual});
    QCOMPARE(address()->currentText(), Manual);
}

void TestBrowser::captionWhileLoadingAndAfter()
{
    open(Manual);
    QTRY_COMPARE(browser->windowTitle(), QStringLiteral("作業中..."));

    view()->arrive(Manual, QStringLiteral("ソラニカ ヘルプ"));
    QCOMPARE(browser->windowTitle(), QStringLiteral("ソラニカ ヘルプ"));
    // Still loading: the next tick says so again.
    QTRY_COMPARE(browser->windowTitle(), QStringLiteral("作業中..."));
    QVERIFY(timer()->isActive());

    view()->finishLoading();
    QTRY_VERIFY(!timer()->isActive());
    QCOMPARE(browser->windowTitle(), QStringLiteral("ソラニカ ヘルプ"));
}

void TestBrowser::stopTurnsTheTimerOffAtOnce()
{
    open(QStringLiteral("https://www.google.co.jp/"));
    view()->title = QStringLiteral("読み込み途中");
    QTRY_COMPARE(browser->windowTitle(), QStringLiteral("作業中..."));

    click(QStringLiteral("Stop"));
    QVERIFY(!timer()->isActive());
    QCOMPARE(view()->calls.last(), QStringLiteral("Stop"));
    QCOMPARE(browser->windowTitle(), QStringLiteral("読み込み途中"));
}

void TestBrowser::toolbarButtonsAskTheView_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("call");
    QTest::newRow("Back") << "Back"
                          << "GoBack";
    QTest::newRow("Forward") << "Forward"
                             << "GoForward";
    QTest::newRow("Refresh") << "Refresh"
                             << "Refresh";
    QTest::newRow("Home") << "Home"
                          << "GoHome";
    QTest::newRow("Search") << "Search"
                            << "GoSearch";
}

void TestBrowser::toolbarButtonsAskTheView()
{
    QFETCH(QString, key);
    QFETCH(QString, call);
    open(QString());
    click(key);
    QCOMPARE(view()->calls, QStringList{call});
    QVERIFY(timer()->isActive());
    QTRY_COMPARE(browser->windowTitle(), QStringLiteral("作業中..."));
}

void TestBrowser::failingStepsAreSkippedOrReported()
{
    const QString failure = QStringLiteral("アドレスが正しくありません。");
    // A failing navigation on load leaves the window open on its address, still polling.
    browser = std::make_unique<HelpBrowser>(views, messages);
    browser->StartingAddress = Manual;
    view()->failNextOperation(failure);
    browser->show();
    QCOMPARE(listOf(address()), QStringList{Manual});
    QVERIFY(timer()->isActive());
    view()->title = QStringLiteral("前のページ");
    QTRY_VERIFY(!timer()->isActive());

    // Stop goes on to the caption when the view cannot stop.
    view()->failNextOperation(failure);
    click(QStringLiteral("Stop"));
    QVERIFY(!timer()->isActive());
    QCOMPARE(browser->windowTitle(), QStringLiteral("前のページ"));

    // Enter ends its click without a word.
    view()->failNextOperation(failure);
    typeAndEnter(QStringLiteral("::"));
    QVERIFY(view()->calls.isEmpty());
    QVERIFY(messages.asked.isEmpty());

    // A choice from the list that cannot be followed is reported.
    view()->failNextOperation(failure);
    address()->showPopup();
    QAbstractItemView* list = address()->view();
    QTRY_VERIFY(list->isVisible());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0)).center());
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.asked.first().text, failure);
    QCOMPARE(messages.asked.first().title, QStringLiteral("ソラニカ"));
}

void TestBrowser::resizeKeepsTheMarginsAndSkipsNegativeSizes()
{
    open(QString());
    auto* view = browser->findChild<WebView*>(QStringLiteral("brwWebBrowser"));
    browser->resize(800, 600);
    // 50 twips each side, 100 below; 15 twips to a pixel.
    QCOMPARE(address()->width(), (800 * 15 - 100) / 15);
    QCOMPARE(view->geometry(), QRect(3, 81, (800 * 15 - 100) / 15, (600 * 15 - 1215 - 100) / 15));
    QCOMPARE(browser->findChild<QWidget*>(QStringLiteral("picAddress"))->width(), 800);

    // Too low for the view but wide enough for the box: only the height is kept.
    browser->resize(300, 60);
    QCOMPARE(address()->width(), (300 * 15 - 100) / 15);
    QCOMPARE(view->size(), QSize((300 * 15 - 100) / 15, (600 * 15 - 1215 - 100) / 15));
}

void TestBrowser::missingEngineShowsTheManualPlainAndSaysWhy_data()
{
    QTest::addColumn<QByteArray>("moduleBytes");
    QTest::addColumn<bool>("asRootWithSandbox");
    QTest::addColumn<QString>("why");
    QTest::newRow("no module") << QByteArray() << false << QStringLiteral("読み込めなかった");
    QTest::newRow("damaged module") << QByteArray("not a library") << false
                                    << QStringLiteral("読み込めなかった");
    // The engine would end the whole program here.
    QTest::newRow("started as root") << QByteArray() << true << QStringLiteral("管理者（root）");
}

void TestBrowser::missingEngineShowsTheManualPlainAndSaysWhy()
{
    QFETCH(QByteArray, moduleBytes);
    QFETCH(bool, asRootWithSandbox);
    QFETCH(QString, why);
    const QByteArray sandboxSetting = qgetenv("QTWEBENGINE_DISABLE_SANDBOX");
    if (asRootWithSandbox) {
        if (geteuid() != 0)
            QSKIP("only root is refused");
        qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    }
    QTemporaryDir dir;
    if (!moduleBytes.isEmpty()) {
        QFile module(dir.filePath(QStringLiteral("libsoranika_webengine.so")));
        QVERIFY(module.open(QIODevice::WriteOnly));
        module.write(moduleBytes);
    }
    EngineWebViews engine(HelpPageAddress, SearchPageAddress, {dir.path()});
    browser = std::make_unique<HelpBrowser>(engine, messages);
    browser->StartingAddress = HelpPageAddress;
    browser->show();
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", sandboxSetting);
    auto* message = browser->findChild<QLabel*>(QStringLiteral("lblMissingEngine"));
    QVERIFY(message && message->isVisible());
    QVERIFY(message->text().contains(why));
    QVERIFY(message->text().contains(QStringLiteral("簡易表示")));
    // The manual is there all the same, in the plain view.
    QTRY_COMPARE(browser->windowTitle(), QStringLiteral("ソラニカ ヘルプ"));
    QCOMPARE(address()->itemText(0), HelpPageAddress);
    auto* page = browser->findChild<QTextBrowser*>(QStringLiteral("txtPage"));
    QVERIFY(page && page->isVisible());
    QVERIFY(page->toPlainText().contains(QStringLiteral("カルテ")));
    QVERIFY(messages.asked.isEmpty());
    browser.reset();
}

void TestBrowser::chartHomeOpensANewManualWindowEachTime()
{
    ProgramFixture f;
    f.start();
    QTest::mouseClick(f.control<QPushButton>(QStringLiteral("Form1"), QStringLiteral("Command1")),
                      Qt::LeftButton);
    QTRY_VERIFY(f.window(QStringLiteral("Form2")));
    auto* home = f.control<QPushButton>(QStringLiteral("Form2"), QStringLiteral("Command8"));
    QTest::mouseClick(home, Qt::LeftButton);
    QTest::mouseClick(home, Qt::LeftButton);

    const QList<QWidget*> browsers = f.windows(QStringLiteral("frmBrowser"));
    QCOMPARE(browsers.size(), 2);
    QCOMPARE(f.webViews.made.size(), 2);
    for (qsizetype i = 0; i < 2; ++i) {
        QVERIFY(browsers[i]->windowState() & Qt::WindowMaximized);
        QCOMPARE(f.webViews.made[i]->calls, QStringList{"Navigate " + HelpPageAddress});
    }
    QVERIFY(f.window(QStringLiteral("Form2"))->isVisible());
}

void TestBrowser::quittingFromTheChartClosesHelpWindows()
{
    ProgramFixture f;
    f.start();
    QTest::mouseClick(f.control<QPushButton>(QStringLiteral("Form1"), QStringLiteral("Command3")),
                      Qt::LeftButton);
    QTest::mouseClick(f.control<QPushButton>(QStringLiteral("Form1"), QStringLiteral("Command1")),
                      Qt::LeftButton);
    QTRY_VERIFY(f.window(QStringLiteral("Form2")));
    QTest::mouseClick(f.control<QPushButton>(QStringLiteral("Form2"), QStringLiteral("Command8")),
                      Qt::LeftButton);
    QList<QPointer<QWidget>> browsers;
    for (QWidget* window : f.windows(QStringLiteral("frmBrowser")))
        browsers.append(window);
    QCOMPARE(browsers.size(), 2);

    QTest::mouseClick(f.control<QPushButton>(QStringLiteral("Form2"), QStringLiteral("Command4")),
                      Qt::LeftButton);
    QCOMPARE(f.messages.asked.last().text, QStringLiteral("終了しますか？"));
    QCOMPARE(f.exits, 1);
    QVERIFY(f.program->registry().loadedWindows().isEmpty());
    for (const QPointer<QWidget>& window : browsers)
        QTRY_VERIFY(!window);
}

// Every message the manual or the README quotes, sentence by sentence, is one the program has, with
// example values where the program fills some in. A message reworded in the program and not in the
// manual, or quoted from memory, fails here.
void TestBrowser::manualQuotesOnlyWhatTheProgramSays()
{
    const QList<QRegularExpression> program = programSentences();
    QVERIFY(program.size() > 100);
    const QStringList quoted = quotedMessages();
    QVERIFY(quoted.contains(QStringLiteral("レコード番号が不正です。")));
    QVERIFY(quoted.contains(QStringLiteral("印刷しますか？")));
    QStringList unknown;
    for (const QString& message : quoted)
        for (const QString& sentence : sentences(message))
            if (std::none_of(program.begin(), program.end(),
                             [&](const QRegularExpression& said) { return said.match(sentence).hasMatch(); }))
                unknown.append(sentence);
    QVERIFY2(unknown.isEmpty(), qPrintable(unknown.join(QStringLiteral(" / "))));
}

QTEST_MAIN(TestBrowser)
#include "test_browser.moc"
