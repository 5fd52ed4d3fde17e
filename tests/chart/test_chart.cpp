#include "app/Application.h"
#include "app/ScreenRegistry.h"
#include "app/ScreenWindow.h"
#include "platform/ActivationWatcher.h"
#include "store/PetRecord.h"
#include "store/ShopSettings.h"
#include "store/Sjis.h"
#include "support/DialogDriver.h"
#include "support/OpenHook.h"
#include "support/ProgramFixture.h"
#include "support/RealBoxes.h"
#include "support/SampleCharts.h"
#include "support/ScriptedMessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>

#include <memory>

namespace {

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

QByteArray field(const QString& text, int width)
{
    return sjis(text).leftJustified(width, ' ');
}

QByteArray editorRecords(int count)
{
    QByteArray bytes;
    for (int n = 1; n <= count; ++n)
        bytes += editorWrittenRecord(QStringLiteral("犬%1").arg(n));
    return bytes;
}

// Every file below `root` with its bytes.
QMap<QString, QByteArray> snapshot(const QString& root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, readFileBytes(path));
    }
    return files;
}

const QString DataFile = QStringLiteral("detapetto.dt");
const QStringList NavigationCommands{"Command1", "Command2", "Command3", "Command4", "Command5", "Command6"};

} // namespace

// The chart screen: layout, display, becoming active, clock, the record number box, navigation,
// the way to the other screens, quitting and the trading fields.
class TestChart : public QObject
{
    Q_OBJECT
private slots:
    void init() { f = std::make_unique<ProgramFixture>(); }
    void cleanup() { f.reset(); }

    void controls_data();
    void controls();
    void looks();
    void emptyDirectoryShowsTheAllZeroChart();
    void storedTextsShowAsStored();
    void failingReadStillOpensTheChart();
    void becomingActiveRereadsTheRecord();
    void closingAMessageBoxKeepsUnsavedTyping();
    void clockAndBlinkingSaveButton();
    void typedRecordNumbers_data();
    void typedRecordNumbers();
    void leavingTheEditedBoxShowsTheRecord();
    void stepsStopAtBothEnds();
    void emptyFileHasNowhereToGo();
    void newEntryEndsAfterTheLastEditorRecord();
    void newEntrySearchShowsOnlyWhereItEnds();
    void failedSearchKeepsTheShownRecord();
    void newEntrySeesRecordsAddedDuringTheSearch();
    void freeAndBlankedRecords();
    void tradingOnlyRecordStopsBothCommands();
    void quitAsksThenEndsWithoutUnloading();
    void otherScreensAndHelp();
    void keysAShopReachesFor();
    void editorThatCannotOpenBringsTheChartBack();
    void closeBoxUnloads();
    void closeBoxInDirectEntryAsks_data();
    void closeBoxInDirectEntryAsks();
    void closeBoxQuestionOnARealBox();
    void recordNumberWaitsForTheSave_data();
    void recordNumberWaitsForTheSave();
    void destroyedChartHearsNothingFromItsBoxes();
    void closingWithAHalfTypedNumberAsksNothing();
    void focusInTradingBoxStartsDirectEntry();
    void savedTradingFields_data();
    void savedTradingFields();
    void emptyTradingBoxesStoreSpaces();
    void saveOnTheFreeRecordKeepsItFree();
    void directEntryKeepsTheTypedValues();
    void valueTypedAtTheEndOfASavedBoxIsStored();
    void commandsApplyATypedNumberFirst_data();
    void commandsApplyATypedNumberFirst();
    void editorOpensOnTheTypedRecordWithItsOwnHistory();
    void saveAboveTheLastPossibleRecordFails();
    void tradingBoxesTakeWhatTheFieldHolds_data();
    void tradingBoxesTakeWhatTheFieldHolds();
    void yenSignIsByte5C();
    void saveToAnUnwritableFileKeepsTheTyping();

private:
    bool openChart();
    QWidget* chart() const { return f->window("Form2"); }
    QLabel* label(const QString& name) const { return f->control<QLabel>("Form2", name); }
    QLineEdit* box(const QString& name) const { return f->control<QLineEdit>("Form2", name); }
    QPushButton* button(const QString& name) const { return f->control<QPushButton>("Form2", name); }
    void click(const QString& name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void typeRecordNumber(const QString& text);
    void typeTrading(const QString& boxName, const QString& text);
    void tick();
    bool inDirectEntry() const;
    QByteArray currentRecord() const { return bytesOf(f->program->records().CurrentRecord); }
    QString lastMessage() const
    {
        return f->messages.asked.isEmpty() ? QString() : f->messages.asked.last().text;
    }

    std::unique_ptr<ProgramFixture> f;
};

bool TestChart::openChart()
{
    f->start();
    QTest::mouseClick(f->control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
    return chart() && QTest::qWaitForWindowActive(chart());
}

void TestChart::typeRecordNumber(const QString& text)
{
    QLineEdit* number = box("Text1");
    number->setFocus();
    number->selectAll();
    if (text.toLatin1() == text.toUtf8()) {
        QTest::keyClicks(number, text);
    } else {
        // Full-width digits come from the input method, whole.
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(number, &commit);
    }
    QTest::keyClick(number, Qt::Key_Return);
}

void TestChart::typeTrading(const QString& boxName, const QString& text)
{
    QLineEdit* trading = box(boxName);
    QTest::mouseClick(trading, Qt::LeftButton);
    trading->selectAll();
    // Typed through the input method, as the boxes take Japanese text.
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(trading, &commit);
}

// One tick of Timer1, as the event loop would deliver it.
void TestChart::tick()
{
    auto* timer = chart()->findChild<QTimer*>("Timer1");
    QTimerEvent event(timer->timerId());
    QCoreApplication::sendEvent(timer, &event);
}

bool TestChart::inDirectEntry() const
{
    for (const QString& name : NavigationCommands) {
        if (button(name)->isEnabled())
            return false;
    }
    return button("Command7")->isVisible();
}

void TestChart::controls_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("place");
    const auto row = [](const char* name, const char* kind, const QString& caption, QRect place) {
        QTest::newRow(name) << QString::fromLatin1(kind) << caption << place;
    };
    row("Label25", "QLabel", QStringLiteral("2026/12/07 9:05:03"), twipsRect(180, 180, 2835, 315));
    row("Command1", "QPushButton", QStringLiteral("データ入力"), twipsRect(3780, 240, 1335, 375));
    row("Command4", "QPushButton", QStringLiteral("終了"), twipsRect(7920, 240, 1275, 375));
    row("Command8", "QPushButton", QStringLiteral("home"), twipsRect(9240, 240, 1155, 375));
    row("Command5", "QPushButton", QStringLiteral("＜"), twipsRect(120, 780, 615, 315));
    row("Text1", "QLineEdit", QStringLiteral("1"), twipsRect(780, 780, 675, 315));
    row("Command9", "QPushButton", QStringLiteral("新規入力"), twipsRect(2340, 780, 975, 315));
    row("Label16", "QLabel", QStringLiteral("日生まれ"), twipsRect(2640, 1260, 765, 255));
    row("Label2", "QLabel", QString(), twipsRect(720, 1560, 3915, 315));
    row("Label37", "QLabel", QStringLiteral("出生時Ｋｇ）"), twipsRect(120, 3180, 975, 255));
    row("Shape2", "QFrame", QString(), twipsRect(180, 3780, 4095, 1875));
    row("Label8", "QLabel", QStringLiteral("投薬履歴"), twipsRect(1080, 3660, 1875, 315));
    row("Label9", "QLabel", QString(), twipsRect(240, 4020, 3855, 255));
    row("Label13", "QLabel", QString(), twipsRect(240, 5220, 3855, 255));
    row("Text2", "QLineEdit", QString(), twipsRect(4800, 1560, 5535, 315));
    row("Shape1", "QFrame", QString(), twipsRect(4860, 3780, 5475, 2175));
    row("Check1", "QCheckBox", QStringLiteral("　この部分もプリントする　(　直接入力項目　）"),
        twipsRect(5400, 3660, 3795, 315));
    row("Text3", "QLineEdit", QString(), twipsRect(6300, 4020, 2295, 315));
    row("Label30", "QLabel", QStringLiteral("販売予定価格"), twipsRect(4980, 5160, 1140, 240));
    row("Command7", "QPushButton", QStringLiteral("保存"), twipsRect(9300, 4020, 795, 315));
    row("Label24", "QLabel", QString(), twipsRect(180, 6900, 8475, 315));
}

void TestChart::controls()
{
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(QRect, place);
    QVERIFY(openChart());
    auto* control = chart()->findChild<QWidget*>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(control);
    QVERIFY(control->inherits(kind.toLatin1()));
    QCOMPARE(control->geometry(), place);
    if (auto* text = qobject_cast<QLabel*>(control))
        QCOMPARE(text->text(), caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        QCOMPARE(button->text(), caption);
    else if (auto* line = qobject_cast<QLineEdit*>(control))
        QCOMPARE(line->text(), caption);
}

void TestChart::looks()
{
    QVERIFY(openChart());
    QWidget* form = chart();
    QCOMPARE(form->windowTitle(), QStringLiteral("カルテ"));
    // The client area keeps its size under the menu bar; the window grows by the bar.
    QWidget* client = form->findChild<QWidget*>("clientArea");
    QCOMPARE(client->size(), QSize(702, 494));
    QCOMPARE(form->size(), QSize(702, 494 + form->findChild<QWidget*>("menuBar")->height()));
    QCOMPARE(form->palette().color(QPalette::Window), QColor(224, 224, 224));

    const auto ground = [&](const QString& name) { return label(name)->palette().color(QPalette::Window); };
    const auto ink = [&](const QString& name) { return label(name)->palette().color(QPalette::WindowText); };
    QCOMPARE(ground("Label39"), QColor(192, 255, 192));
    QCOMPARE(ground("Label31"), QColor(Qt::red));
    QCOMPARE(ink("Label31"), QColor(Qt::white));
    QCOMPARE(ground("Label24"), QColor(Qt::white));
    QCOMPARE(ink("Label8"), QColor(Qt::white));
    QCOMPARE(ground("Label25"), QColor(Qt::blue));
    QCOMPARE(ink("Label25"), QColor(Qt::green));
    QVERIFY(label("Label25")->font().bold());
    QCOMPARE(label("Label25")->font().pointSizeF(), 11.25);

    auto* check = form->findChild<QCheckBox*>("Check1");
    QVERIFY(!check->isChecked());
    QCOMPARE(check->palette().color(QPalette::Window), QColor(Qt::red));
    QCOMPARE(check->palette().color(QPalette::WindowText), QColor(Qt::white));
    auto* redFrame = form->findChild<QFrame*>("Shape1");
    QCOMPARE(redFrame->lineWidth(), 2);
    QCOMPARE(redFrame->palette().color(QPalette::WindowText), QColor(Qt::red));
    // The frame lies over the trading boxes and must let clicks through to them.
    QVERIFY(redFrame->testAttribute(Qt::WA_TransparentForMouseEvents));

    QLineEdit* number = box("Text1");
    QCOMPARE(number->palette().color(QPalette::Base), QColor(Qt::cyan));
    QVERIFY(number->font().bold());
    QVERIFY(number->alignment() & Qt::AlignHCenter);
    QVERIFY(!button("Command7")->isVisible());
    QCOMPARE(button("Command8")->toolTip(), QStringLiteral("製作者のホームページに飛びます。"));
    QVERIFY(box("Text10")->isReadOnly());
    QCOMPARE(box("Text6")->property("inputMode").toString(), QStringLiteral("hiragana"));
    auto* timer = form->findChild<QTimer*>("Timer1");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);
    // Every caption shown shows whole, in whatever font stands in for the original one.
    for (QLabel* caption : form->findChildren<QLabel*>())
        QVERIFY2(caption->isHidden() || caption->sizeHint().width() <= caption->width(),
                 qPrintable(caption->objectName()));
    QVERIFY(check->sizeHint().width() <= check->width());
    for (QPushButton* command : form->findChildren<QPushButton*>())
        QVERIFY2(command->fontMetrics().horizontalAdvance(command->text()) < command->width() - 4,
                 qPrintable(command->objectName()));

    // The first control to have the keyboard must not be a trading box.
    QVERIFY(!inDirectEntry());
}

void TestChart::emptyDirectoryShowsTheAllZeroChart()
{
    QVERIFY(openChart());
    QVERIFY(QFile::exists(DataFile));
    QCOMPARE(QFile(DataFile).size(), 0);
    QCOMPARE(box("Text1")->text(), QStringLiteral("1"));
    for (const char* name : {"Label1", "Label6", "Label7", "Label34", "Label35"})
        QCOMPARE(label(QString::fromLatin1(name))->text(), QStringLiteral("0"));
    for (const char* name : {"Label2", "Label3", "Label4", "Label5", "Label9", "Label13", "Label32",
                             "Label33", "Label21", "Label22", "Label23", "Label24"})
        QCOMPARE(label(QString::fromLatin1(name))->text(), QString());
    for (const char* name : {"Text2", "Text12", "Text3", "Text7"})
        QCOMPARE(box(QString::fromLatin1(name))->text(), QString());
    QCOMPARE(label("Label25")->text(), QStringLiteral("2026/12/07 9:05:03"));
    QVERIFY(f->messages.asked.isEmpty());
}

void TestChart::storedTextsShowAsStored()
{
    float quarter = 0.25f;
    float three = 3.0f;
    const QByteArray stored = recordWith({
        {0, QByteArray("\xe8\x07\x0b\x00\x1f\x00", 6)}, // 2024, 11, 31
        {6, field(QStringLiteral("メス"), 10)},
        {16, field(QStringLiteral("柴犬"), 30)},
        {46, sjis(QStringLiteral("赤")) + QByteArray(1, '\0') + sjis(QStringLiteral("白"))},
        {106, field(QStringLiteral("狂犬病ワクチン <b>済</b>"), 50)},
        {356, field(QStringLiteral("よく食べる"), 70)},
        {776, field(QStringLiteral("3"), 10)},
        {786, field(QStringLiteral("関東地方"), 20)},
        {806, QByteArray(reinterpret_cast<const char*>(&quarter), 4)},
        {810, QByteArray(reinterpret_cast<const char*>(&three), 4)},
        {814, field(QStringLiteral("2026/11/30"), 30)},
        {874, sjis(QStringLiteral("50000"))},
    });
    writeFileBytes(DataFile, editorWrittenRecord(QStringLiteral("雑種")) + stored);
    ShopSettings::save(ShopSettings::Keys[0], QStringLiteral("ペットショップ空"));
    ShopSettings::save(ShopSettings::Keys[3], QStringLiteral("毎週水曜定休"));
    QVERIFY(openChart());
    QCOMPARE(label("Label21")->text(), QStringLiteral("ペットショップ空"));
    QCOMPARE(label("Label22")->text(), QString());
    QCOMPARE(label("Label24")->text(), QStringLiteral("毎週水曜定休"));

    typeRecordNumber(QStringLiteral("2"));
    QCOMPARE(box("Text1")->text(), QStringLiteral("2"));
    QCOMPARE(label("Label1")->text(), QStringLiteral("2024"));
    QCOMPARE(label("Label6")->text(), QStringLiteral("11"));
    QCOMPARE(label("Label7")->text(), QStringLiteral("31"));
    QCOMPARE(label("Label3")->text(), QStringLiteral("メス      "));
    QCOMPARE(label("Label2")->text(), QStringLiteral("柴犬") + QString(26, u' '));
    QCOMPARE(label("Label4")->text(), QStringLiteral("赤"));
    QCOMPARE(label("Label5")->text(), QString());
    QCOMPARE(label("Label9")->text(), QStringLiteral("狂犬病ワクチン <b>済</b>") + QString(26, u' '));
    QCOMPARE(label("Label9")->textFormat(), Qt::PlainText);
    QCOMPARE(label("Label10")->text(), QString());
    QCOMPARE(box("Text2")->text(), QStringLiteral("よく食べる") + QString(60, u' '));
    QCOMPARE(box("Text2")->cursorPosition(), 0);
    QCOMPARE(label("Label32")->text(), QStringLiteral("3         "));
    QCOMPARE(label("Label33")->text(), QStringLiteral("関東地方") + QString(12, u' '));
    QCOMPARE(label("Label34")->text(), QStringLiteral("0.25"));
    QCOMPARE(label("Label35")->text(), QStringLiteral("3"));
    // The trading boxes show their values without the padding, so typing at the end follows them.
    QCOMPARE(box("Text3")->text(), QStringLiteral("2026/11/30"));
    QCOMPARE(box("Text4")->text(), QString());
    QCOMPARE(box("Text5")->text(), QStringLiteral("50000"));

    // A number past the end shows the empty chart under that number.
    typeRecordNumber(QStringLiteral("7"));
    QCOMPARE(box("Text1")->text(), QStringLiteral("7"));
    QCOMPARE(label("Label1")->text(), QStringLiteral("0"));
    QCOMPARE(label("Label2")->text(), QString());
    QCOMPARE(label("Label34")->text(), QStringLiteral("0"));
    QCOMPARE(box("Text3")->text(), QString());
    QCOMPARE(QFile(DataFile).size(), 2 * RecordLength);
    QVERIFY(f->messages.asked.isEmpty());
}

void TestChart::failingReadStillOpensTheChart()
{
    QVERIFY(QDir().mkdir(DataFile));
    f->start();
    QTest::mouseClick(f->control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
    QVERIFY(chart());
    QVERIFY(chart()->isVisible());
    QVERIFY(!f->messages.asked.isEmpty());
    QCOMPARE(f->messages.asked.first().title, QStringLiteral("ソラニカ"));
    QCOMPARE(label("Label25")->text(), QStringLiteral("2026/12/07 9:05:03"));
}

void TestChart::becomingActiveRereadsTheRecord()
{
    writeFileBytes(DataFile, editorWrittenRecord(QStringLiteral("柴犬")));
    QVERIFY(openChart());

    // Changed behind the hidden chart, as the editor does.
    ScreenRegistry& registry = f->program->registry();
    registry.hide(ScreenName::Form2);
    QByteArray changed = editorWrittenRecord(QStringLiteral("秋田犬"));
    changed.replace(844, 30, field(QStringLiteral("山田ブリーダー"), 30));
    writeFileBytes(DataFile, changed);
    // A late word of activation while hidden reads nothing: the editor owns the record meanwhile.
    emit ActivationWatcher::instance().activated(chart());
    QCOMPARE(label("Label2")->text(), QStringLiteral("柴犬") + QString(26, u' '));
    ShopSettings::save(ShopSettings::Keys[1], QStringLiteral("03-1234-5678"));
    registry.show(ScreenName::Form2);
    QTRY_COMPARE(label("Label2")->text(), QStringLiteral("秋田犬") + QString(24, u' '));
    QCOMPARE(box("Text4")->text(), QStringLiteral("山田ブリーダー"));
    QCOMPARE(label("Label22")->text(), QStringLiteral("03-1234-5678"));

    // Coming back from a help window counts too.
    click("Command8");
    QWidget* help = f->window("frmBrowser");
    QVERIFY(help);
    ProgramFixture::activate(help);
    writeFileBytes(DataFile, editorWrittenRecord(QStringLiteral("柴犬")));
    ProgramFixture::activate(chart());
    QTRY_COMPARE(label("Label2")->text(), QStringLiteral("柴犬") + QString(26, u' '));
}

void TestChart::closingAMessageBoxKeepsUnsavedTyping()
{
    writeFileBytes(DataFile, editorWrittenRecord(QStringLiteral("柴犬")));
    QVERIFY(openChart());
    typeTrading("Text3", QStringLiteral("12/1"));
    writeFileBytes(DataFile, editorWrittenRecord(QStringLiteral("秋田犬")));

    // A real box over the chart, as a failed save shows it.
    QTimer::singleShot(0, this, [] {
        if (QWidget* shown = QApplication::activeModalWidget())
            shown->close();
    });
    QMessageBox::information(chart(), QStringLiteral("ソラニカ"),
                             QStringLiteral("ファイルに書き込めません。"));
    ProgramFixture::activate(chart());
    QTest::qWait(20);
    QCOMPARE(box("Text3")->text(), QStringLiteral("12/1"));
    QCOMPARE(label("Label2")->text(), QStringLiteral("柴犬") + QString(26, u' '));
}

void TestChart::clockAndBlinkingSaveButton()
{
    QVERIFY(openChart());
    QPushButton* save = button("Command7");
    const bool boldAtStart = save->font().bold();

    f->clock.advance(3600 + 60 + 2);
    tick();
    QCOMPARE(label("Label25")->text(), QStringLiteral("2026/12/07 10:06:05"));
    QCOMPARE(save->font().bold(), !boldAtStart); // hidden, it switches all the same

    QTest::mouseClick(box("Text3"), Qt::LeftButton);
    QVERIFY(save->isVisible());
    tick();
    QCOMPARE(save->font().bold(), boldAtStart);
    tick();
    QCOMPARE(save->font().bold(), !boldAtStart);

    // The clock goes on while another window of the program is in front.
    click("Command8");
    ProgramFixture::activate(f->window("frmBrowser"));
    f->clock.set(QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0)));
    tick();
    QCOMPARE(label("Label25")->text(), QStringLiteral("2027/01/01 0:00:00"));
}

void TestChart::typedRecordNumbers_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("three") << QStringLiteral("3") << QStringLiteral("3");
    QTest::newRow("spaced, rounded to even") << QStringLiteral(" 2.5") << QStringLiteral("2");
    QTest::newRow("full-width") << QStringLiteral("３") << QStringLiteral("3");
    QTest::newRow("full-width sign and space") << QStringLiteral("＋　２") << QStringLiteral("2");
    QTest::newRow("full-width point") << QStringLiteral("１．４") << QStringLiteral("1");
    QTest::newRow("zero") << QStringLiteral("0") << QString();
    QTest::newRow("negative") << QStringLiteral("-3") << QString();
    QTest::newRow("not a number") << QStringLiteral("abc") << QString();
    QTest::newRow("past the last record a file can hold") << QStringLiteral("32768") << QString();
    QTest::newRow("too large") << QStringLiteral("99999999999") << QString();
}

void TestChart::typedRecordNumbers()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    writeFileBytes(DataFile, editorRecords(4));
    QVERIFY(openChart());
    typeRecordNumber(QStringLiteral("4"));
    QCOMPARE(label("Label2")->text().trimmed(), QStringLiteral("犬4"));

    typeRecordNumber(typed);
    if (shown.isEmpty()) {
        QCOMPARE(f->messages.asked.size(), 1);
        QCOMPARE(lastMessage(), QStringLiteral("レコード番号が不正です。"));
        QCOMPARE(box("Text1")->text(), QStringLiteral("4"));
        QCOMPARE(label("Label2")->text().trimmed(), QStringLiteral("犬4"));
        // The next step starts from the record on screen.
        click("Command5");
        QCOMPARE(box("Text1")->text(), QStringLiteral("3"));
    } else {
        QVERIFY(f->messages.asked.isEmpty());
        QCOMPARE(box("Text1")->text(), shown);
        QCOMPARE(label("Label2")->text().trimmed(), QStringLiteral("犬") + shown);
    }
}

void TestChart::leavingTheEditedBoxShowsTheRecord()
{
    writeFileBytes(DataFile, editorRecords(4));
    QVERIFY(openChart());
    QLineEdit* number = box("Text1");
    number->setFocus();
    number->selectAll();
    QTest::keyClicks(number, QStringLiteral("3"));
    // Clicking a command first takes the focus from the box, so the command meets record 3.
    click("Command6");
    QCOMPARE(number->text(), QStringLiteral("4"));
    QCOMPARE(label("Label2")->text().trimmed(), QStringLiteral("犬4"));

    number->setFocus();
    number->selectAll();
    QTest::keyClicks(number, QStringLiteral("x"));
    box("Text2")->setFocus();
    QCOMPARE(lastMessage(), QStringLiteral("レコード番号が不正です。"));
    QCOMPARE(f->messages.asked.size(), 1);
    QCOMPARE(number->text(), QStringLiteral("4"));
}

void TestChart::stepsStopAtBothEnds()
{
    writeFileBytes(DataFile, editorRecords(10));
    const QByteArray before = readFileBytes(DataFile);
    QVERIFY(openChart());
    QLineEdit* number = box("Text1");
    click("Command5");
    QCOMPARE(number->text(), QStringLiteral("1"));
    QCOMPARE(label("Label2")->text().trimmed(), QStringLiteral("犬1"));
    QVERIFY(f->messages.asked.isEmpty());

    click("Command6");
    QCOMPARE(number->text(), QStringLiteral("2"));
    QCOMPARE(label("Label2")->text().trimmed(), QStringLiteral("犬2"));

    typeRecordNumber(QStringLiteral("10"));
    click("Command6");
    QCOMPARE(number->text(), QStringLiteral("11"));
    for (const char* name : {"Label1", "Label6", "Label7", "Label34", "Label35"})
        QCOMPARE(label(QString::fromLatin1(name))->text(), QStringLiteral("0"));
    QCOMPARE(label("Label3")->text(), QString());
    click("Command6");
    QCOMPARE(number->text(), QStringLiteral("11"));

    // From past the end back down, one empty record at a time.
    typeRecordNumber(QStringLiteral("13"));
    click("Command5");
    QCOMPARE(number->text(), QStringLiteral("12"));
    QCOMPARE(label("Label2")->text(), QString());
    click("Command5");
    click("Command5");
    QCOMPARE(number->text(), QStringLiteral("10"));
    QCOMPARE(label("Label2")->text().trimmed(), QStringLiteral("犬10"));
    QCOMPARE(readFileBytes(DataFile), before);
}

void TestChart::emptyFileHasNowhereToGo()
{
    QVERIFY(openChart());
    click("Command9");
    QCOMPARE(box("Text1")->text(), QStringLiteral("1"));
    click("Command6");
    QCOMPARE(box("Text1")->text(), QStringLiteral("1"));
    QCOMPARE(QFile(DataFile).size(), 0);
    QVERIFY(f->messages.asked.isEmpty());
}

void TestChart::newEntryEndsAfterTheLastEditorRecord()
{
    writeFileBytes(DataFile, editorRecords(10));
    QVERIFY(openChart());
    for (int start = 1; start <= 10; ++start) {
        typeRecordNumber(QString::number(start));
        click("Command9");
        QCOMPARE(box("Text1")->text(), QStringLiteral("11"));
        QCOMPARE(label("Label2")->text(), QString());
        QCOMPARE(label("Label3")->text(), QString());
        QCOMPARE(label("Label1")->text(), QStringLiteral("0"));
    }
    // On the free record it stays.
    click("Command9");
    QCOMPARE(box("Text1")->text(), QStringLiteral("11"));
    QCOMPARE(QFile(DataFile).size(), 10 * RecordLength);
}

void TestChart::newEntrySearchShowsOnlyWhereItEnds()
{
    writeFileBytes(DataFile,
                   editorWrittenRecord(QStringLiteral("柴犬"), QStringLiteral("メス")) + editorRecords(4));
    QVERIFY(openChart());
    // What the chart shows each time the file is opened again: one open per record passed.
    QStringList shown;
    OpenHook hook("detapetto.dt", [&](int) {
        shown.append(box("Text1")->text() + u'|' + label("Label2")->text().trimmed() + u'|' +
                     label("Label3")->text().trimmed());
    });
    QStringList numbers;
    connect(box("Text1"), &QLineEdit::textChanged, this, [&](const QString& text) { numbers.append(text); });
    click("Command9");
    // Records 2 to 6 read one by one, then record 6 read once more for the display.
    QCOMPARE(hook.opens(), 6);
    QCOMPARE(shown, QStringList(6, QStringLiteral("1|柴犬|メス")));
    QCOMPARE(numbers, QStringList{QStringLiteral("6")});
    QCOMPARE(label("Label2")->text(), QString());
    QCOMPARE(label("Label3")->text(), QString());
}

void TestChart::failedSearchKeepsTheShownRecord()
{
    writeFileBytes(DataFile, editorRecords(3));
    QVERIFY(openChart());
    // The file goes away after the search has read record 2.
    OpenHook hook("detapetto.dt", [](int opens) {
        if (opens == 2) {
            QFile::rename(DataFile, QStringLiteral("aside.dt"));
            QDir().mkdir(DataFile);
        }
    });
    click("Command9");
    QCOMPARE(hook.opens(), 2);
    QVERIFY(QFileInfo(DataFile).isDir());
    QCOMPARE(f->messages.asked.size(), 1);
    QCOMPARE(box("Text1")->text(), QStringLiteral("1"));
    QCOMPARE(label("Label2")->text().trimmed(), QStringLiteral("犬1"));
    QCOMPARE(currentRecord(), editorRecords(1));
}

void TestChart::newEntrySeesRecordsAddedDuringTheSearch()
{
    writeFileBytes(DataFile, editorRecords(3));
    QVERIFY(openChart());
    // Another program adds two charts just before the search reads record 4, past the end so far.
    OpenHook hook("detapetto.dt", [](int opens) {
        if (opens == 3)
            writeFileBytes(DataFile, editorRecords(5));
    });
    click("Command9");
    QCOMPARE(box("Text1")->text(), QStringLiteral("6"));
    QCOMPARE(hook.opens(), 6);
}

void TestChart::freeAndBlankedRecords()
{
    // Kind empty but sex shown: "＞" goes on, the search for a free record stops.
    writeFileBytes(DataFile, editorRecords(1) + recordWith({{6, field(QStringLiteral("オス"), 10)}}) +
                                 editorRecords(1));
    QVERIFY(openChart());
    click("Command6");
    QCOMPARE(label("Label3")->text(), QStringLiteral("オス      "));
    click("Command6");
    QCOMPARE(box("Text1")->text(), QStringLiteral("3"));
    typeRecordNumber(QStringLiteral("1"));
    click("Command9");
    QCOMPARE(box("Text1")->text(), QStringLiteral("2"));

    // Blanked by the editor: spaces, not free.
    const QString blank;
    writeFileBytes(DataFile, editorRecords(2) + editorWrittenRecord(blank, blank, blank) + editorRecords(1));
    typeRecordNumber(QStringLiteral("2"));
    click("Command6");
    QCOMPARE(box("Text1")->text(), QStringLiteral("3"));
    QCOMPARE(label("Label2")->text(), QString(30, u' '));
    click("Command6");
    QCOMPARE(box("Text1")->text(), QStringLiteral("4"));

    typeRecordNumber(QStringLiteral("1"));
    click("Command9");
    QCOMPARE(box("Text1")->text(), QStringLiteral("5"));
}

void TestChart::tradingOnlyRecordStopsBothCommands()
{
    writeFileBytes(DataFile, editorRecords(3));
    QVERIFY(openChart());
    click("Command9");
    QCOMPARE(box("Text1")->text(), QStringLiteral("4"));
    typeTrading("Text6", QStringLiteral("98000"));
    click("Command7");
    QCOMPARE(QFile(DataFile).size(), 4 * RecordLength);

    typeRecordNumber(QStringLiteral("3"));
    click("Command6");
    QCOMPARE(box("Text1")->text(), QStringLiteral("4"));
    QCOMPARE(box("Text6")->text(), QStringLiteral("98000"));
    click("Command6");
    QCOMPARE(box("Text1")->text(), QStringLiteral("4"));

    typeRecordNumber(QStringLiteral("1"));
    click("Command9");
    QCOMPARE(box("Text1")->text(), QStringLiteral("4"));
}

void TestChart::quitAsksThenEndsWithoutUnloading()
{
    writeFileBytes(DataFile, editorRecords(2));
    ShopSettings::save(ShopSettings::Keys[0], QStringLiteral("ペットショップ空"));
    QVERIFY(openChart());
    click("Command8");
    click("Command8");
    QCOMPARE(f->windows("frmBrowser").size(), 2);
    bool unloaded = false;
    connect(qobject_cast<ScreenWindow*>(chart()), &ScreenWindow::unloaded, this, [&] { unloaded = true; });
    QPointer<QWidget> help = f->window("frmBrowser");
    const QMap<QString, QByteArray> files = snapshot(f->dir.path());
    QCOMPARE(files.size(), 2); // the data file and the settings file

    f->messages.setNextAnswer(MessageBoxes::Answer::Cancel);
    click("Command4");
    QCOMPARE(f->messages.asked.size(), 1);
    const ScriptedMessageBoxes::Asked asked = f->messages.asked.first();
    QCOMPARE(asked.text, QStringLiteral("終了しますか？"));
    QCOMPARE(asked.title, QStringLiteral("終了確認"));
    QVERIFY(asked.buttons == MessageBoxes::Buttons::OkCancel);
    QVERIFY(asked.icon == MessageBoxes::Icon::None);
    QTest::qWait(20);
    QCOMPARE(f->exits, 0);
    QCOMPARE(f->visibleWindowNames(), (QStringList{"Form2", "frmBrowser", "frmBrowser"}));

    click("Command4");
    QCOMPARE(f->exits, 1);
    QVERIFY(f->program->registry().loadedWindows().isEmpty());
    QTRY_VERIFY(!help);
    QVERIFY(!unloaded);
    QCOMPARE(snapshot(f->dir.path()), files);
}

void TestChart::otherScreensAndHelp()
{
    for (const char* list : {"syurui.txt", "iro.txt", "tokucyou.txt", "kusuri.txt", "taicyou.txt",
                             "shoku.txt", "unti.txt", "hoka1.txt", "hoka2.txt"})
        writeFileBytes(QString::fromLatin1(list), QByteArray());
    writeFileBytes(DataFile, editorRecords(3));
    QVERIFY(openChart());
    typeRecordNumber(QStringLiteral("2"));

    click("Command8");
    QCOMPARE(f->windows("frmBrowser").size(), 1);
    QCOMPARE(f->window("frmBrowser")->property("StartingAddress").toString(),
             QStringLiteral("qrc:/help/index.html"));
    QVERIFY(chart()->isVisible());

    QWidget* form2 = chart();
    click("Command1");
    QVERIFY(f->window("Form3"));
    QVERIFY(f->window("Form3")->isVisible());
    QCOMPARE(chart(), form2); // hidden, still loaded, still on record 2
    QVERIFY(!form2->isVisible());
    QCOMPARE(box("Text1")->text(), QStringLiteral("2"));

    f->window("Form3")->hide();
    f->program->registry().show(ScreenName::Form2);
    click("Command2");
    QTRY_VERIFY(!chart());
    QVERIFY(f->window("Form4")->isVisible());
    QVERIFY(f->messages.asked.isEmpty());
}

// F1 from every screen and from the chart list; Ctrl+N for 新規入力, off while it is; Ctrl+S saving
// in direct entry; Enter in a master-data entry box registering its item.
void TestChart::keysAShopReachesFor()
{
    for (const char* list : {"syurui.txt", "iro.txt", "tokucyou.txt", "kusuri.txt", "taicyou.txt",
                             "shoku.txt", "unti.txt", "hoka1.txt", "hoka2.txt"})
        writeFileBytes(QString::fromLatin1(list), QByteArray());
    writeFileBytes(DataFile, editorRecords(3));
    const auto helpWindows = [this] { return f->windows("frmBrowser").size(); };
    const auto pressF1 = [](QWidget* window) {
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_F1);
    };

    f->start();
    pressF1(f->window("Form1"));
    QCOMPARE(helpWindows(), 1);
    QCOMPARE(f->window("frmBrowser")->property("StartingAddress").toString(),
             QStringLiteral("qrc:/help/index.html"));
    QTest::mouseClick(f->control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowActive(chart()));

    // Ctrl+N shows the first free chart, like the 新規入力 button.
    auto* newEntry = chart()->findChild<QAction*>("actNewEntry");
    QCOMPARE(newEntry->text(), QStringLiteral("新規入力(&N)"));
    QTest::keyClick(chart(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(box("Text1")->text(), QStringLiteral("4"));
    typeRecordNumber(QStringLiteral("2"));

    // In direct entry Ctrl+N waits with its button, and Ctrl+S saves.
    QTest::mouseClick(box("Text4"), Qt::LeftButton);
    QVERIFY(inDirectEntry());
    QVERIFY(!newEntry->isEnabled());
    QVERIFY(!button("Command9")->isEnabled());
    QTest::keyClick(box("Text4"), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(box("Text1")->text(), QStringLiteral("2"));
    box("Text4")->setText(QStringLiteral("ペットランド"));
    QTest::keyClick(box("Text4"), Qt::Key_S, Qt::ControlModifier);
    QTRY_VERIFY(!inDirectEntry());
    QCOMPARE(recordBytes(DataFile, 2).mid(844, 12), sjis(QStringLiteral("ペットランド")));
    QVERIFY(newEntry->isEnabled());
    QVERIFY(f->messages.asked.isEmpty());

    // F1 in the chart list: the help comes up modal over the list, so the list's modality does not keep
    // the user out of it.
    bool helpTakesTheInput = false;
    whenDialogShows([&](QDialog* list) {
        pressF1(list);
        helpTakesTheInput = QApplication::activeModalWidget() == f->windows("frmBrowser").last();
        list->reject();
    });
    chart()->findChild<QAction*>("actChartList")->trigger();
    QCOMPARE(helpWindows(), 2);
    QVERIFY(helpTakesTheInput);

    click("Command1");
    QVERIFY(f->window("Form3")->isVisible());
    pressF1(f->window("Form3"));
    QCOMPARE(helpWindows(), 3);
    f->window("Form3")->hide();
    f->program->registry().show(ScreenName::Form2);
    click("Command2");
    QTRY_VERIFY(f->window("Form4"));
    pressF1(f->window("Form4"));
    QCOMPARE(helpWindows(), 4);

    auto* breedBox = f->control<QLineEdit>("Form4", "Text1");
    breedBox->setText(QStringLiteral("柴犬"));
    QTest::keyClick(breedBox, Qt::Key_Return);
    QCOMPARE(readFileBytes("syurui.txt"), sjis(QStringLiteral("柴犬\r\n")));
    QVERIFY(f->window("Form4")->isVisible());
    QVERIFY(f->messages.asked.isEmpty());
}

void TestChart::editorThatCannotOpenBringsTheChartBack()
{
    QVERIFY(openChart());
    click("Command1");
    QVERIFY(!f->window("Form3"));
    QVERIFY(chart()->isVisible());
    QCOMPARE(f->messages.asked.size(), 1);
    QVERIFY(lastMessage().contains(QStringLiteral("syurui.txt")));
    QTest::qWait(20);
    QCOMPARE(f->exits, 0);
}

void TestChart::closeBoxUnloads()
{
    QVERIFY(openChart());
    chart()->close();
    QTRY_VERIFY(!chart());
    QVERIFY(f->messages.asked.isEmpty());
    QTRY_COMPARE(f->exits, 1);
    QCOMPARE(QFile(DataFile).size(), 0);
}

void TestChart::closeBoxInDirectEntryAsks_data()
{
    QTest::addColumn<MessageBoxes::Answer>("answer");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<bool>("saved");
    QTest::newRow("yes: save, then end") << MessageBoxes::Answer::Yes << true << true;
    QTest::newRow("no: end without saving") << MessageBoxes::Answer::No << true << false;
    QTest::newRow("cancel: stay") << MessageBoxes::Answer::Cancel << false << false;
}

// The close box (or Alt+F4) in direct entry does not take the typing with it unasked.
void TestChart::closeBoxInDirectEntryAsks()
{
    QFETCH(MessageBoxes::Answer, answer);
    QFETCH(bool, ends);
    QFETCH(bool, saved);
    writeFileBytes(DataFile, editorRecords(2));
    QVERIFY(openChart());
    typeRecordNumber(QStringLiteral("2"));
    typeTrading("Text4", QStringLiteral("ペットパートナーズ"));
    f->messages.setNextAnswer(answer);
    chart()->close();

    QCOMPARE(f->messages.asked.size(), 1);
    const ScriptedMessageBoxes::Asked asked = f->messages.asked.first();
    QCOMPARE(asked.text, QStringLiteral("保存していない入力があります。保存してから終了しますか？"));
    QVERIFY(asked.buttons == MessageBoxes::Buttons::YesNoCancel);
    QVERIFY(asked.defaultAnswer == MessageBoxes::Answer::Cancel);
    QByteArray second = editorRecords(2).mid(RecordLength);
    if (saved) {
        second.replace(814, 150, QByteArray(150, ' '));
        second.replace(844, 30, field(QStringLiteral("ペットパートナーズ"), 30));
    }
    QCOMPARE(readFileBytes(DataFile), editorRecords(1) + second);
    if (ends) {
        QTRY_COMPARE(f->exits, 1);
    } else {
        QTest::qWait(20);
        QCOMPARE(f->exits, 0);
        QVERIFY(chart() && chart()->isVisible());
        QCOMPARE(box("Text4")->text(), QStringLiteral("ペットパートナーズ"));
        QVERIFY(inDirectEntry());
    }
}

void TestChart::closeBoxQuestionOnARealBox()
{
    setUpApplication();
    f.reset();
    f = std::make_unique<ProgramFixture>(ProgramFixture::Boxes::Real);
    writeFileBytes(DataFile, editorRecords(1));
    QVERIFY(openChart());
    typeTrading("Text5", QStringLiteral("50000"));
    RealBoxes boxes; // Enter on the box: its default button
    QVERIFY(!chart()->close());
    QCOMPARE(boxes.seen.size(), 1);
    QCOMPARE(boxes.seen[0].text, QStringLiteral("保存していない入力があります。保存してから終了しますか？"));
    QCOMPARE(boxes.seen[0].buttons.size(), 3);
    QCOMPARE(boxes.seen[0].defaultButton, QStringLiteral("キャンセル"));
    QTest::qWait(20);
    QCOMPARE(f->exits, 0);
    QCOMPARE(box("Text5")->text(), QStringLiteral("50000"));
    QCOMPARE(readFileBytes(DataFile), editorRecords(1));
}

enum class NumberWay { Enter, LeavingTheBox, SaveButton };

void TestChart::recordNumberWaitsForTheSave_data()
{
    QTest::addColumn<NumberWay>("way");
    QTest::newRow("Enter") << NumberWay::Enter;
    QTest::newRow("leaving the box") << NumberWay::LeavingTheBox;
    QTest::newRow("save clicked after typing it") << NumberWay::SaveButton;
}

// A record number typed while trading values wait for their save is refused, whichever way it is
// applied; the typing stays and the next save writes it to the record it was typed for.
void TestChart::recordNumberWaitsForTheSave()
{
    QFETCH(NumberWay, way);
    writeFileBytes(DataFile, editorRecords(3));
    QVERIFY(openChart());
    typeRecordNumber(QStringLiteral("2"));
    typeTrading("Text5", QStringLiteral("120000"));
    QLineEdit* number = box("Text1");
    number->setFocus();
    number->setText(QStringLiteral("3"));
    if (way == NumberWay::Enter)
        QTest::keyClick(number, Qt::Key_Return);
    if (way == NumberWay::LeavingTheBox)
        QTest::mouseClick(box("Text6"), Qt::LeftButton);
    if (way == NumberWay::SaveButton)
        button("Command7")->click();

    QCOMPARE(f->messages.asked.size(), 1);
    QCOMPARE(lastMessage(),
             QStringLiteral("保存していない入力があります。「保存」するか Esc で取り消してから、"
                            "カルテを移ってください。"));
    QCOMPARE(number->text(), QStringLiteral("2"));
    QCOMPARE(label("Label2")->text().trimmed(), QStringLiteral("犬2"));
    QCOMPARE(box("Text5")->text(), QStringLiteral("120000"));
    QVERIFY(inDirectEntry());
    QCOMPARE(readFileBytes(DataFile), editorRecords(3));

    click("Command7");
    QVERIFY(!inDirectEntry());
    QByteArray expected = editorRecords(3);
    expected.replace(RecordLength + 814, 150, QByteArray(150, ' '));
    expected.replace(RecordLength + 874, 30, field(QStringLiteral("120000"), 30));
    QCOMPARE(readFileBytes(DataFile), expected);
}

void TestChart::tradingBoxesTakeWhatTheFieldHolds_data()
{
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("stored");
    const QString supplier = QStringLiteral("株式会社ペットパートナーズ埼玉ブリーディングセンター");
    const QByteArray supplierBytes =
        QByteArray::fromHex("8a948eae89ef8ed08379836283678370815b83678369815b83598de98bca");
    for (const bool pasted : {false, true}) {
        QTest::addRow("long supplier %s", pasted ? "pasted" : "typed")
            << "Text4" << 844 << supplier << pasted << QStringLiteral("株式会社ペットパートナーズ埼玉")
            << supplierBytes;
    }
    // 29 bytes: the next full-width character would need 31.
    QTest::newRow("half- and full-width mixed")
        << "Text3" << 814 << QStringLiteral("ABCあいうえおかきくけこさしすせそ") << false
        << QStringLiteral("ABCあいうえおかきくけこさしす")
        << QByteArray::fromHex("41424382a082a282a482a682a882a982ab82ad82af82b182b382b582b7");
    QTest::newRow("yen sign") << "Text6" << 904 << QStringLiteral("¥298,000") << false
                              << QStringLiteral("¥298,000") << QByteArray::fromHex("5c3239382c303030");
    QTest::newRow("full-width yen sign")
        << "Text5" << 874 << QStringLiteral("￥50,000") << true << QStringLiteral("￥50,000")
        << QByteArray::fromHex("818f35302c303030");
}

// A trading box takes no more than its 30-byte field holds, so what the shop sees is what is saved.
void TestChart::tradingBoxesTakeWhatTheFieldHolds()
{
    QFETCH(QString, boxName);
    QFETCH(int, offset);
    QFETCH(QString, typed);
    QFETCH(bool, pasted);
    QFETCH(QString, shown);
    QFETCH(QByteArray, stored);
    writeFileBytes(DataFile, editorRecords(2));
    QVERIFY(openChart());
    if (pasted) {
        QTest::mouseClick(box(boxName), Qt::LeftButton);
        QApplication::clipboard()->setText(typed);
        box(boxName)->paste();
    } else {
        typeTrading(boxName, typed);
    }
    QCOMPARE(box(boxName)->text(), shown);
    click("Command7");
    QVERIFY(f->messages.asked.isEmpty());
    QCOMPARE(recordBytes(DataFile, 1).mid(offset, 30), stored.leftJustified(30, ' '));
    QCOMPARE(recordBytes(DataFile, 2), editorRecords(2).mid(RecordLength));

    click("Command6");
    click("Command5");
    QCOMPARE(box(boxName)->text(), shown);
}

// Byte 0x5C is the yen sign on the shop's screens; saved again it stays byte 0x5C.
void TestChart::yenSignIsByte5C()
{
    QByteArray record = editorRecords(1);
    record.replace(904, 30, QByteArray("\\120,000").leftJustified(30, ' '));
    writeFileBytes(DataFile, record);
    QVERIFY(openChart());
    QCOMPARE(box("Text6")->text(), QStringLiteral("¥120,000"));
    typeTrading("Text3", QStringLiteral("2026/12/1"));
    click("Command7");
    // The five fields are saved together; those never filled are written as spaces.
    record.replace(814, 30, QByteArray("2026/12/1").leftJustified(30, ' '));
    record.replace(844, 60, QByteArray(60, ' '));
    record.replace(934, 30, QByteArray(30, ' '));
    QCOMPARE(readFileBytes(DataFile), record);
}

void TestChart::destroyedChartHearsNothingFromItsBoxes()
{
    // The record number box outlives the screen by a moment while the window goes; losing the
    // focus then must not run the screen's own steps (a message about the half-typed number).
    QVERIFY(openChart());
    QLineEdit* number = box("Text1");
    number->setFocus();
    QVERIFY(number->hasFocus());
    number->setText(QStringLiteral("abc"));
    delete chart();
    QVERIFY(f->messages.asked.isEmpty());
}

void TestChart::closingWithAHalfTypedNumberAsksNothing()
{
    QVERIFY(openChart());
    QLineEdit* number = box("Text1");
    number->setFocus();
    number->setText(QStringLiteral("abc"));
    chart()->close();
    QTRY_VERIFY(!chart());
    QVERIFY(f->messages.asked.isEmpty());
}

void TestChart::focusInTradingBoxStartsDirectEntry()
{
    QVERIFY(openChart());
    QTest::mouseClick(box("Text5"), Qt::LeftButton);
    QVERIFY(inDirectEntry());
    QVERIFY(button("Command8")->isEnabled());
    QVERIFY(!button("Command9")->isEnabled());
    QVERIFY(box("Text1")->isEnabled());
    QVERIFY(chart()->findChild<QCheckBox*>("Check1")->isEnabled());
    QTest::mouseClick(box("Text6"), Qt::LeftButton);
    QVERIFY(inDirectEntry());
    // Leaving the trading boxes does not end it; only the save does.
    box("Text1")->setFocus();
    QVERIFY(inDirectEntry());
}

void TestChart::savedTradingFields_data()
{
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("stored");
    const QString halfWidth = QStringLiteral("1234567890123456789012345678901");
    const QString fullWidth = QStringLiteral("あいうえおかきくけこさしすせそたちつてと");
    QTest::newRow("31 half-width") << "Text3" << 814 << halfWidth << halfWidth.left(30)
                                   << halfWidth.left(30).toLatin1();
    QTest::newRow("20 full-width") << "Text4" << 844 << fullWidth << fullWidth.left(15)
                                   << sjis(fullWidth.left(15));
    QTest::newRow("short") << "Text5" << 874 << QStringLiteral("3万円") << QStringLiteral("3万円")
                           << field(QStringLiteral("3万円"), 30);
    // Typed after a stored value's spaces: the field is full, the box takes nothing more.
    QTest::newRow("beyond the stored spaces")
        << "Text7" << 934 << QString(30, u' ') + u'x' << QString(30, u' ') << QByteArray(30, ' ');
}

void TestChart::savedTradingFields()
{
    QFETCH(QString, boxName);
    QFETCH(int, offset);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QByteArray, stored);
    QByteArray original = editorWrittenRecord(QStringLiteral("柴犬"));
    original.replace(814, 150, QByteArray(150, ' '));
    writeFileBytes(DataFile, editorRecords(1) + original);
    QVERIFY(openChart());
    typeRecordNumber(QStringLiteral("2"));

    typeTrading(boxName, typed);
    click("Command7");
    QVERIFY(f->messages.asked.isEmpty());
    QByteArray expected = original;
    expected.replace(offset, 30, stored);
    QCOMPARE(recordBytes(DataFile, 2), expected);
    QCOMPARE(recordBytes(DataFile, 1), editorRecords(1));

    // Back to browsing, the box keeps the text it took, the focus is out of the trading boxes.
    QVERIFY(!button("Command7")->isVisible());
    for (const QString& name : NavigationCommands)
        QVERIFY(button(name)->isEnabled());
    QCOMPARE(box(boxName)->text(), shown);
    QVERIFY(!QApplication::focusWidget()->objectName().contains(QRegularExpression("^Text[3-7]$")));

    // The next display shows the stored field, without its padding.
    click("Command5");
    click("Command6");
    QCOMPARE(box(boxName)->text(), Sjis::fieldText(stored).trimmed());
}

void TestChart::emptyTradingBoxesStoreSpaces()
{
    const QByteArray original = editorWrittenRecord(QStringLiteral("柴犬"));
    writeFileBytes(DataFile, original);
    QVERIFY(openChart());
    QTest::mouseClick(box("Text3"), Qt::LeftButton);
    click("Command7");
    QByteArray expected = original;
    expected.replace(814, 150, QByteArray(150, ' '));
    QCOMPARE(readFileBytes(DataFile), expected);
}

void TestChart::saveOnTheFreeRecordKeepsItFree()
{
    writeFileBytes(DataFile, editorRecords(2));
    QVERIFY(openChart());
    click("Command9");
    QCOMPARE(box("Text1")->text(), QStringLiteral("3"));
    typeTrading("Text4", QStringLiteral("山田"));
    click("Command7");
    QCOMPARE(QFile(DataFile).size(), 3 * RecordLength);
    QCOMPARE(recordBytes(DataFile, 3), recordWith({{814, QByteArray(30, ' ')},
                                                   {844, field(QStringLiteral("山田"), 30)},
                                                   {874, QByteArray(90, ' ')}}));
    QCOMPARE(label("Label2")->text(), QString());
    click("Command6");
    QCOMPARE(box("Text1")->text(), QStringLiteral("3"));
}

void TestChart::directEntryKeepsTheTypedValues()
{
    QByteArray second = editorWrittenRecord(QStringLiteral("柴犬"));
    second.replace(814, 30, field(QStringLiteral("前の値"), 30));
    writeFileBytes(DataFile, editorRecords(1) + second + editorWrittenRecord(QStringLiteral("秋田犬")));
    QVERIFY(openChart());
    typeRecordNumber(QStringLiteral("2"));
    typeTrading("Text3", QStringLiteral("新しい値"));

    // New entry would show another record over the typed value: it waits for the save.
    QVERIFY(!button("Command9")->isEnabled());
    // A look at the help page and back reads nothing over the typing.
    click("Command8");
    ProgramFixture::activate(f->window("frmBrowser"));
    ProgramFixture::activate(chart());
    QTest::qWait(20);
    QCOMPARE(box("Text3")->text(), QStringLiteral("新しい値"));
    QVERIFY(inDirectEntry());

    // Esc in a trading box gives the typing up: the stored value is back and browsing goes on.
    QTest::mouseClick(box("Text3"), Qt::LeftButton);
    QTest::keyClick(box("Text3"), Qt::Key_Escape);
    QCOMPARE(box("Text3")->text(), QStringLiteral("前の値"));
    QVERIFY(!inDirectEntry());
    QVERIFY(button("Command9")->isEnabled());
    QVERIFY(!box("Text3")->hasFocus());
    QCOMPARE(readFileBytes(DataFile).mid(RecordLength, RecordLength), second);

    // A typed record number waits for the save too.
    typeTrading("Text4", QStringLiteral("業者"));
    typeRecordNumber(QStringLiteral("3"));
    QCOMPARE(box("Text1")->text(), QStringLiteral("2"));
    QCOMPARE(box("Text4")->text(), QStringLiteral("業者"));
    QVERIFY(inDirectEntry());
}

void TestChart::valueTypedAtTheEndOfASavedBoxIsStored()
{
    QByteArray saved = editorWrittenRecord(QStringLiteral("柴犬"));
    saved.replace(814, 30, QByteArray(30, ' '));                         // saved empty
    saved.replace(844, 30, field(QStringLiteral("山田ブリーダー"), 30)); // saved, left alone
    writeFileBytes(DataFile, saved);
    QVERIFY(openChart());

    // The user clicks at the right of the empty-looking box and types.
    QLineEdit* date = box("Text3");
    QTest::mouseClick(date, Qt::LeftButton, {}, QPoint(date->width() - 3, date->height() / 2));
    QTest::keyClicks(date, QStringLiteral("12/24"));
    click("Command7");
    QCOMPARE(date->text(), QStringLiteral("12/24"));

    // The typed date reaches the file; the untouched boxes keep their stored bytes as before.
    QByteArray expected = saved;
    expected.replace(814, 30, field(QStringLiteral("12/24"), 30));
    expected.replace(874, 90, QByteArray(90, ' '));
    QCOMPARE(readFileBytes(DataFile), expected);
}

void TestChart::commandsApplyATypedNumberFirst_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shownAfter");
    QTest::newRow("next") << "Command6"
                          << "2"
                          << "3";
    QTest::newRow("previous") << "Command5"
                              << "3"
                              << "2";
    QTest::newRow("new entry") << "Command9"
                               << "2"
                               << "5";
    // While trading values wait for their save, no other record is shown: the save waits too.
    QTest::newRow("save refuses a number typed during direct entry") << "Command7"
                                                                     << "3"
                                                                     << "1";
    QTest::newRow("refused number stops the command") << "Command6"
                                                      << "x"
                                                      << "1";
}

// A command that takes no focus (a shortcut, a button on another platform) leaves the typed number
// in the box; it is applied before the command runs.
void TestChart::commandsApplyATypedNumberFirst()
{
    QFETCH(QString, command);
    QFETCH(QString, typed);
    QFETCH(QString, shownAfter);
    writeFileBytes(DataFile, editorRecords(4));
    QVERIFY(openChart());
    if (command == "Command7")
        typeTrading("Text5", QStringLiteral("1000"));
    box("Text1")->setFocus();
    box("Text1")->setText(typed);
    button(command)->click();
    QCOMPARE(box("Text1")->text(), shownAfter);
    QCOMPARE(label("Label2")->text().trimmed(),
             shownAfter.toInt() <= 4 ? QStringLiteral("犬") + shownAfter : QString());
    QCOMPARE(f->messages.asked.size(), shownAfter == "1" ? 1 : 0);
}

void TestChart::editorOpensOnTheTypedRecordWithItsOwnHistory()
{
    QByteArray first = editorWrittenRecord(QStringLiteral("柴犬"));
    first.replace(106, 50, field(QStringLiteral("一頭目の履歴"), 50));
    QByteArray second = editorWrittenRecord(QStringLiteral("秋田犬"));
    second.replace(106, 50, field(QStringLiteral("二頭目の履歴"), 50));
    writeFileBytes(DataFile, first + second);
    for (const char* list :
         {"syurui.txt", "iro.txt", "tokucyou.txt", "kusuri.txt", "taicyou.txt", "shoku.txt"})
        writeFileBytes(QString::fromLatin1(list), QByteArray());
    QVERIFY(openChart());
    box("Text1")->setFocus();
    box("Text1")->setText(QStringLiteral("2"));
    button("Command1")->click();
    QVERIFY(f->window("Form3"));
    QCOMPARE(f->control<QLabel>("Form3", "Label2")->text(), QStringLiteral("2"));
    QCOMPARE(f->control<QLineEdit>("Form3", "Text1")->text().trimmed(), QStringLiteral("二頭目の履歴"));
}

void TestChart::saveAboveTheLastPossibleRecordFails()
{
    // A full file: 32,767 records, the last one written by the editor.
    {
        QFile file(DataFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(qint64(RecordLength) * 32766));
        QVERIFY(file.seek(file.size()));
        file.write(editorWrittenRecord(QStringLiteral("柴犬")));
    }
    QVERIFY(openChart());
    typeRecordNumber(QStringLiteral("32768"));
    QCOMPARE(lastMessage(), QStringLiteral("レコード番号が不正です。"));
    typeRecordNumber(QStringLiteral("32767"));
    click("Command6");
    QCOMPARE(box("Text1")->text(), QStringLiteral("32768"));
    typeTrading("Text5", QStringLiteral("1000円"));
    click("Command7");
    QCOMPARE(lastMessage(), QStringLiteral("オーバーフローしました。"));
    QVERIFY(inDirectEntry());
    QCOMPARE(box("Text5")->text(), QStringLiteral("1000円"));
    QCOMPARE(QFileInfo(DataFile).size(), qint64(RecordLength) * 32767);
    // The shared record still holds what the file holds, not the refused values.
    QCOMPARE(currentRecord(), QByteArray(RecordLength, '\0'));
}

void TestChart::saveToAnUnwritableFileKeepsTheTyping()
{
    const QByteArray original = editorRecords(3);
    writeFileBytes(DataFile, original);
    QVERIFY(openChart());
    typeRecordNumber(QStringLiteral("2"));
    typeTrading("Text4", QStringLiteral("業者"));

    // The file turns into something that cannot be opened for writing, even by root.
    QVERIFY(QFile::rename(DataFile, QStringLiteral("aside.dt")));
    QVERIFY(QDir().mkdir(DataFile));
    click("Command7");
    QCOMPARE(f->messages.asked.size(), 1);
    QCOMPARE(f->messages.asked.first().title, QStringLiteral("ソラニカ"));
    QVERIFY(inDirectEntry());
    QCOMPARE(box("Text4")->text(), QStringLiteral("業者"));

    // Once the file is back the same save goes through, and only the typed field changes.
    QVERIFY(QDir().rmdir(DataFile));
    QVERIFY(QFile::rename(QStringLiteral("aside.dt"), DataFile));
    click("Command7");
    QVERIFY(!inDirectEntry());
    QByteArray expected = original;
    expected.replace(RecordLength + 814, 30, QByteArray(30, ' '));
    expected.replace(RecordLength + 844, 30, field(QStringLiteral("業者"), 30));
    expected.replace(RecordLength + 874, 90, QByteArray(90, ' '));
    QCOMPARE(readFileBytes(DataFile), expected);
}

QTEST_MAIN(TestChart)
#include "test_chart.moc"
