#include "app/Application.h"
#include "app/ScreenRegistry.h"
#include "app/ScreenWindow.h"
#include "editor/EditorOpening.h"
#include "store/Failure.h"
#include "store/SaleStore.h"
#include "support/FileSizeLimit.h"
#include "support/ProgramFixture.h"
#include "support/RealBoxes.h"
#include "support/SampleCharts.h"
#include "support/ScriptedMessageBoxes.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>

#include <cstring>
#include <memory>

namespace {

// Code page 932 bytes (made with Python's cp932 codec) padded with spaces to the field's width.
QByteArray padded(const char* hex, int width)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    return bytes + QByteArray(width - bytes.size(), ' ');
}

QByteArray spaces(int width)
{
    return QByteArray(width, ' ');
}

// A chart as the editor writes it: 2004/2/10, 柴犬, オス, 赤毛, 山田, two history lines, one memo
// line, 3 siblings, 関東地方, 3.25 kg and 0.5 kg, and trading fields never filled (zero bytes).
QByteArray shibaRecord()
{
    return recordWith({
        {0, QByteArray::fromHex("d40702000a00")},
        {6, padded("83498358", 10)},
        {16, padded("8ec48ca2", 30)},
        {46, padded("90d496d1", 30)},
        {76, padded("8e529363", 30)},
        {106, padded("32303034944e328c8e313093fa2020208bb68ca295612020208dcf82dd", 50)},
        {156, padded("32303034944e338c8e3193fa2020208dac8d87838f834e836083932020208dcf82dd", 50)},
        {206, spaces(150)},
        {356, padded("8cb38b4382c582b7", 70)},
        {426, spaces(350)},
        {776, padded("33", 10)},
        {786, padded("8ad6938c926e95fb", 20)},
        {806, QByteArray::fromHex("000050400000003f")},
    });
}

// The same chart with a 35-character memo line and trading fields typed on the chart screen.
QByteArray tradedRecord()
{
    QByteArray record = shibaRecord();
    record.replace(426, 70, QByteArray::fromHex("82a082a282a482a682a8").repeated(7));
    record.replace(814, 30, padded("323032362f31312f3031", 30));
    record.replace(844, 30, padded("83798362836796e289ae", 30));
    record.replace(874, 30, padded("3530303030", 30));
    record.replace(904, 30, padded("3830303030", 30));
    return record;
}

// What the editor stores with every box empty: dates 0, every text field spaces, weights 0.
QByteArray blankRecord()
{
    return recordWith({{6, spaces(800)}});
}

const QString RecordFileName = QStringLiteral("detapetto.dt");

} // namespace

// The record editor Form3: its layout, its load from the chart screen, the pick lists and the record,
// the history buttons, and the save that runs however it is closed.
class TestEditor : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }

    void windowAndControlsAsDrawn_data();
    void windowAndControlsAsDrawn();
    void combosAndBoxesTakeInputAsTyped();
    void tabOrderFromComboOneAndWeightBoxesEmptyThemselves();
    void returningWindowKeepsTheTypedWeight();

    void loadShowsTheRecordAndTheChartsHistoryLines();
    void loadOnAFreeRecordShowsZerosAndEmptyTexts();
    void pickListsInFileOrderOrSortedAndOnlyOnce();
    void missingPickListStopsTheEditor_data();
    void missingPickListStopsTheEditor();
    void missingPickListFromTheChartButton();
    void noRecordNumberNoEditor();
    void openedWithGivenValuesTellsTheStoredRecord();

    void historyButtons();
    void longHistoryLineShowsWhatIsStored();

    void newChartEndToEnd();
    void unchangedChartGoesBackByteForByte();
    void okWithoutInputAppendsABlankRecord();
    void deleteBlanksAllButTheTradingFields();
    void closeBoxSavesAndShowsTheChart();
    void failedSaveKeepsEverything_data();
    void failedSaveKeepsEverything();
    void closeBoxGivesUpASaveThatCannotSucceed();
    void fullWidthNumbersAndNamedFailures_data();
    void fullWidthNumbersAndNamedFailures();
    void boxesTakeWhatTheirFieldsHold();
    void escapeLeavesWithoutSaving_data();
    void escapeLeavesWithoutSaving();
    void wheelTurnsOnlyTheFocusedDropDown();
    void deleteAsksFirstWhenTheChartHasSaleInformation_data();
    void deleteAsksFirstWhenTheChartHasSaleInformation();
    void deleteQuestionOnARealBoxDefaultsToCancel();
    void lastRecordAFileCanHoldOpensAndSaves();
    void typingReplacesWhatABoxShows();
    void enterOnAFocusedButtonClicksIt();
    void editorIsADialogOfTheChart();

private:
    ScreenRegistry& registry() { return f->program->registry(); }
    QWidget* editor() const { return f->window(QStringLiteral("Form3")); }
    QComboBox* combo(const QString& name) const
    {
        return f->control<QComboBox>(QStringLiteral("Form3"), name);
    }
    QLineEdit* box(const QString& name) const { return f->control<QLineEdit>(QStringLiteral("Form3"), name); }
    QLabel* label(const QString& name) const { return f->control<QLabel>(QStringLiteral("Form3"), name); }
    QPushButton* button(const QString& name) const
    {
        return f->control<QPushButton>(QStringLiteral("Form3"), name);
    }
    QWidget* chart() const { return f->window(QStringLiteral("Form2")); }
    template <typename T> T* chartControl(const QString& name) const
    {
        return f->control<T>(QStringLiteral("Form2"), name);
    }

    void writePickLists();
    void showChart();
    bool openEditorFromChart(int number = 1);
    void click(const QString& name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void retype(QComboBox* target, const QString& text);
    void retype(QLineEdit* target, const QString& text);

    std::unique_ptr<ProgramFixture> f;
};

void TestEditor::init()
{
    f = std::make_unique<ProgramFixture>();
    writePickLists();
}

void TestEditor::writePickLists()
{
    writeFileBytes(
        QStringLiteral("syurui.txt"),
        sjis(QStringLiteral("柴犬\r\nプードル\r\nいぬ\r\nアヒル\r\nダックス\r\nチワワ\r\nトイプードル\r\n")));
    writeFileBytes(QStringLiteral("iro.txt"), sjis(QStringLiteral("赤毛\r\n白\r\n")));
    writeFileBytes(QStringLiteral("tokucyou.txt"), sjis(QStringLiteral("山田\r\n佐藤\r\n")));
    writeFileBytes(QStringLiteral("kusuri.txt"),
                   sjis(QStringLiteral("狂犬病\r\nフィラリア予防\r\n混合ワクチン")));
    writeFileBytes(QStringLiteral("taicyou.txt"), sjis(QStringLiteral("多い\r\n少ない\r\n10\r\n")));
    writeFileBytes(QStringLiteral("shoku.txt"), sjis(QStringLiteral("ブリーダー\r\nペットショップ\r\n")));
}

void TestEditor::showChart()
{
    f->start();
    // The chart's activation, which displays its record, is over before the test goes on.
    ProgramFixture::activate(registry().show(ScreenName::Form2));
}

// The user's way in: the chart screen shows record `number`, then its "データ入力" opens the editor.
bool TestEditor::openEditorFromChart(int number)
{
    showChart();
    QLineEdit* recordNumber = chartControl<QLineEdit>(QStringLiteral("Text1"));
    if (!recordNumber)
        return false;
    if (recordNumber->text() != QString::number(number)) {
        recordNumber->setText(QString::number(number));
        QTest::keyClick(recordNumber, Qt::Key_Return);
    }
    QTest::mouseClick(chartControl<QPushButton>(QStringLiteral("Command1")), Qt::LeftButton);
    return editor() && editor()->isVisible();
}

void TestEditor::retype(QComboBox* target, const QString& text)
{
    retype(target->lineEdit(), text);
}

// Empties the box and types `text`: Latin characters as keys, Japanese as the input method
// hands them over once the user confirms the conversion.
void TestEditor::retype(QLineEdit* target, const QString& text)
{
    target->clear();
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(target, c.toLatin1());
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(target, &commit);
        }
    }
}

void TestEditor::windowAndControlsAsDrawn_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("ground");

    const auto row = [](const char* name, const char* caption, QRect twips, const char* ground = "") {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption) << twips
                            << QString::fromLatin1(ground);
    };
    // A sample of each kind of control, from every part of the window.
    row("Label1", "整理番号", {420, 240, 1395, 255}, "green");
    row("Label2", "", {1860, 240, 735, 255}, "cyan");
    row("Combo1", "", {1920, 600, 915, 300});
    row("Combo4", "", {1920, 960, 3675, 300});
    row("Label16", "兄弟数", {5820, 960, 1095, 315}, "green");
    row("Text12", "", {7020, 1680, 915, 315});
    row("Label21", "Kg", {7980, 1740, 255, 240});
    row("Label12", "記録,メモ", {420, 2460, 1395, 315}, "green");
    row("Text6", "", {1920, 2460, 5655, 315});
    row("Text11", "", {1920, 3960, 5655, 315});
    row("Shape1", "", {120, 4380, 8775, 2475});
    row("Label11", "投薬、投与履歴", {420, 4560, 1395, 255}, "green");
    row("Combo11", "", {4980, 4500, 3015, 300});
    row("Command3", "1回目", {420, 4980, 735, 315});
    row("Text5", "", {1380, 6420, 5175, 315});
    row("Command2", "データ削除", {6780, 6960, 1095, 375});
    row("Command1", "ＯＫ", {7920, 6960, 975, 375});
}

void TestEditor::windowAndControlsAsDrawn()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    QFETCH(QString, ground);

    QVERIFY(openEditorFromChart());
    QWidget* form3 = editor();
    QCOMPARE(form3->windowTitle(), QStringLiteral("データ入力"));
    QCOMPARE(form3->size(), QSize(600, 493));
    QCOMPARE(form3->windowType(), Qt::Dialog);
    QVERIFY(form3->windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(form3->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    auto* control = form3->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(),
             QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    if (auto* text = qobject_cast<QLabel*>(control); text && name != QStringLiteral("Label2"))
        QCOMPARE(text->text(), caption);
    if (auto* command = qobject_cast<QPushButton*>(control))
        QCOMPARE(command->text(), caption);
    const QColor expected = ground == QStringLiteral("green")  ? QColor(192, 255, 192)
                            : ground == QStringLiteral("cyan") ? QColor(192, 255, 255)
                                                               : QColor();
    if (expected.isValid()) {
        QVERIFY(control->autoFillBackground());
        QCOMPARE(control->palette().color(QPalette::Window), expected);
    } else {
        QVERIFY(!control->autoFillBackground());
    }
}

void TestEditor::combosAndBoxesTakeInputAsTyped()
{
    QVERIFY(openEditorFromChart());

    const auto items = [this](const QString& name) {
        QStringList texts;
        for (int i = 0; i < combo(name)->count(); ++i)
            texts.append(combo(name)->itemText(i));
        return texts;
    };
    QCOMPARE(items(QStringLiteral("Combo1")).size(), 18);
    QCOMPARE(items(QStringLiteral("Combo1")).first(), QStringLiteral("2003"));
    QCOMPARE(items(QStringLiteral("Combo1")).last(), QStringLiteral("2020"));
    QCOMPARE(items(QStringLiteral("Combo8")), items(QStringLiteral("Combo1")));
    QCOMPARE(items(QStringLiteral("Combo2")).size(), 12);
    QCOMPARE(items(QStringLiteral("Combo3")).size(), 31);
    QCOMPARE(items(QStringLiteral("Combo10")).last(), QStringLiteral("31"));
    QCOMPARE(items(QStringLiteral("Combo5")),
             (QStringList{QStringLiteral("オス"), QStringLiteral("メス"), QStringLiteral("不明")}));

    // Every combo is editable; what the user types stays as typed and is not added to the list.
    for (int n = 1; n <= 13; ++n)
        QVERIFY(combo(QStringLiteral("Combo%1").arg(n))->isEditable());
    QComboBox* year = combo(QStringLiteral("Combo1"));
    ProgramFixture::activate(editor());
    QTRY_VERIFY(year->hasFocus());
    retype(year, QStringLiteral("2"));
    QCOMPARE(year->currentText(), QStringLiteral("2"));
    QTest::keyClick(year->lineEdit(), Qt::Key_Return);
    QCOMPARE(year->currentText(), QStringLiteral("2"));
    QCOMPARE(year->count(), 18);

    // Thirty characters per memo line, a full-width character counting as one.
    QLineEdit* memo = box(QStringLiteral("Text8"));
    retype(memo, QStringLiteral("あ").repeated(35));
    QCOMPARE(memo->text(), QStringLiteral("あ").repeated(30));
    for (int n = 6; n <= 11; ++n) {
        QCOMPARE(box(QStringLiteral("Text%1").arg(n))->maxLength(), 30);
        QCOMPARE(box(QStringLiteral("Text%1").arg(n))->property("inputMode").toString(),
                 QStringLiteral("hiragana"));
    }
    for (const QString& name : {QStringLiteral("Text12"), QStringLiteral("Text13")}) {
        QCOMPARE(box(name)->property("inputMode").toString(), QStringLiteral("off"));
        QVERIFY(!box(name)->testAttribute(Qt::WA_InputMethodEnabled));
    }
    QCOMPARE(box(QStringLiteral("Text1"))->maxLength(), 32767);
}

void TestEditor::tabOrderFromComboOneAndWeightBoxesEmptyThemselves()
{
    writeFileBytes(RecordFileName, shibaRecord());
    QVERIFY(openEditorFromChart());
    ProgramFixture::activate(editor());
    QTRY_VERIFY(combo(QStringLiteral("Combo1"))->hasFocus());
    QCOMPARE(box(QStringLiteral("Text12"))->text(), QStringLiteral("3.25"));

    const auto focusedControl = [] {
        QWidget* focused = QApplication::focusWidget();
        return qobject_cast<QComboBox*>(focused->parentWidget()) ? focused->parentWidget() : focused;
    };
    QStringList visited;
    for (int step = 0; step < 33; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(focusedControl()->objectName());
    }
    QStringList expected;
    for (int n = 2; n <= 13; ++n)
        expected.append(QStringLiteral("Combo%1").arg(n));
    expected << QStringLiteral("Command1") << QStringLiteral("Command2") << QStringLiteral("Command3");
    for (int n = 1; n <= 5; ++n)
        expected.append(QStringLiteral("Text%1").arg(n));
    for (int n = 4; n <= 7; ++n)
        expected.append(QStringLiteral("Command%1").arg(n));
    for (int n = 6; n <= 13; ++n)
        expected.append(QStringLiteral("Text%1").arg(n));
    expected << QStringLiteral("Combo1");
    QCOMPARE(visited, expected);

    // Tabbing through the weight boxes emptied each on entry; left empty, each got its weight back.
    QCOMPARE(box(QStringLiteral("Text12"))->text(), QStringLiteral("3.25"));
    QCOMPARE(box(QStringLiteral("Text13"))->text(), QStringLiteral("0.5"));

    // Also when the editor closes with the focus still in the emptied box.
    box(QStringLiteral("Text13"))->setFocus(Qt::TabFocusReason);
    QCOMPARE(box(QStringLiteral("Text13"))->text(), QString());
    QVERIFY(editor()->close());
    QTRY_VERIFY(!editor());
    QCOMPARE(recordBytes(RecordFileName, 1), shibaRecord());
}

void TestEditor::returningWindowKeepsTheTypedWeight()
{
    QVERIFY(openEditorFromChart());
    QLineEdit* weight = box(QStringLiteral("Text12"));
    weight->setText(QStringLiteral("3kg"));
    QFocusEvent windowBack(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(weight, &windowBack);
    QCOMPARE(weight->text(), QStringLiteral("3kg"));
    QFocusEvent clickedInto(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(weight, &clickedInto);
    QCOMPARE(weight->text(), QString());
}

void TestEditor::loadShowsTheRecordAndTheChartsHistoryLines()
{
    QByteArray second = tradedRecord();
    second.replace(0, 6, QByteArray::fromHex("fbff0d000000")); // year -5, month 13, day 0
    writeFileBytes(RecordFileName, shibaRecord() + second);
    QVERIFY(openEditorFromChart(2));

    QCOMPARE(label(QStringLiteral("Label2"))->text(), QStringLiteral("2"));
    QCOMPARE(combo(QStringLiteral("Combo1"))->currentText(), QStringLiteral("-5"));
    QCOMPARE(combo(QStringLiteral("Combo2"))->currentText(), QStringLiteral("13"));
    QCOMPARE(combo(QStringLiteral("Combo3"))->currentText(), QStringLiteral("0"));
    QCOMPARE(combo(QStringLiteral("Combo4"))->currentText(), QStringLiteral("柴犬") + QString(26, u' '));
    QCOMPARE(combo(QStringLiteral("Combo5"))->currentText(), QStringLiteral("オス") + QString(6, u' '));
    QCOMPARE(combo(QStringLiteral("Combo6"))->currentText(), QStringLiteral("赤毛") + QString(26, u' '));
    QCOMPARE(combo(QStringLiteral("Combo7"))->currentText(), QStringLiteral("山田") + QString(26, u' '));
    QCOMPARE(combo(QStringLiteral("Combo12"))->currentText(), QStringLiteral("3") + QString(9, u' '));
    QCOMPARE(combo(QStringLiteral("Combo13"))->currentText(), QStringLiteral("関東地方") + QString(12, u' '));
    // Memo lines are cut to the boxes' 30 characters, padding or text.
    QCOMPARE(box(QStringLiteral("Text6"))->text(), QStringLiteral("元気です") + QString(26, u' '));
    QCOMPARE(box(QStringLiteral("Text7"))->text(), QStringLiteral("あいうえお").repeated(6));
    QCOMPARE(box(QStringLiteral("Text8"))->text(), QString(30, u' '));
    QCOMPARE(box(QStringLiteral("Text12"))->text(), QStringLiteral("3.25"));
    QCOMPARE(box(QStringLiteral("Text13"))->text(), QStringLiteral("0.5"));
    // History lines come whole from the chart screen's display.
    QCOMPARE(box(QStringLiteral("Text1"))->text(),
             QStringLiteral("2004年2月10日   狂犬病   済み") + QString(21, u' '));
    QCOMPARE(box(QStringLiteral("Text2"))->text(),
             QStringLiteral("2004年3月1日   混合ワクチン   済み") + QString(16, u' '));
    QCOMPARE(box(QStringLiteral("Text5"))->text(), QString(50, u' '));
    // Filled boxes show the start of their text, not the padding at its end.
    QCOMPARE(box(QStringLiteral("Text1"))->cursorPosition(), 0);
    QCOMPARE(box(QStringLiteral("Text6"))->cursorPosition(), 0);
    QCOMPARE(combo(QStringLiteral("Combo4"))->lineEdit()->cursorPosition(), 0);
    for (int n = 8; n <= 11; ++n)
        QCOMPARE(combo(QStringLiteral("Combo%1").arg(n))->currentText(), QString());
}

void TestEditor::loadOnAFreeRecordShowsZerosAndEmptyTexts()
{
    writeFileBytes(RecordFileName, shibaRecord());
    QVERIFY(openEditorFromChart(5));
    QCOMPARE(label(QStringLiteral("Label2"))->text(), QStringLiteral("5"));
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(combo(QStringLiteral("Combo%1").arg(n))->currentText(), QStringLiteral("0"));
    for (int n = 4; n <= 13; ++n)
        QCOMPARE(combo(QStringLiteral("Combo%1").arg(n))->currentText(), QString());
    for (int n = 1; n <= 11; ++n)
        QCOMPARE(box(QStringLiteral("Text%1").arg(n))->text(), QString());
    QCOMPARE(box(QStringLiteral("Text12"))->text(), QStringLiteral("0"));
    QCOMPARE(box(QStringLiteral("Text13"))->text(), QStringLiteral("0"));
}

void TestEditor::pickListsInFileOrderOrSortedAndOnlyOnce()
{
    QVERIFY(openEditorFromChart());
    const auto items = [this](const QString& name) {
        QStringList texts;
        for (int i = 0; i < combo(name)->count(); ++i)
            texts.append(combo(name)->itemText(i));
        return texts;
    };
    // Japanese order: kana by sound (hiragana and katakana alike), kanji after kana.
    const QStringList kinds{QStringLiteral("アヒル"),       QStringLiteral("いぬ"),
                            QStringLiteral("ダックス"),     QStringLiteral("チワワ"),
                            QStringLiteral("トイプードル"), QStringLiteral("プードル"),
                            QStringLiteral("柴犬")};
    QCOMPARE(items(QStringLiteral("Combo4")), kinds);
    QCOMPARE(items(QStringLiteral("Combo11")).size(), 3);
    QCOMPARE(items(QStringLiteral("Combo11")).first(), QStringLiteral("フィラリア予防"));
    const QStringList siblings = items(QStringLiteral("Combo12"));
    QCOMPARE(siblings.size(), 24);
    QCOMPARE(siblings.mid(19),
             (QStringList{QStringLiteral("20"), QStringLiteral("不明"), QStringLiteral("多い"),
                          QStringLiteral("少ない"), QStringLiteral("10")}));
    const QStringList places = items(QStringLiteral("Combo13"));
    QCOMPARE(places.size(), 13);
    QCOMPARE(places.first(), QStringLiteral("北海道地方"));
    QCOMPARE(places.mid(10), (QStringList{QStringLiteral("海外"), QStringLiteral("ブリーダー"),
                                          QStringLiteral("ペットショップ")}));

    // Closing and opening again starts from the fixed items: nothing is listed twice.
    click(QStringLiteral("Command1"));
    QTRY_VERIFY(!editor());
    QTest::mouseClick(chartControl<QPushButton>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(editor());
    QCOMPARE(items(QStringLiteral("Combo4")), kinds);
    QCOMPARE(items(QStringLiteral("Combo12")), siblings);
    QCOMPARE(items(QStringLiteral("Combo13")), places);
    QCOMPARE(items(QStringLiteral("Combo6")).size(), 2);
}

void TestEditor::missingPickListStopsTheEditor_data()
{
    QTest::addColumn<QString>("missing");
    for (const char* name :
         {"syurui.txt", "iro.txt", "tokucyou.txt", "kusuri.txt", "taicyou.txt", "shoku.txt"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestEditor::missingPickListStopsTheEditor()
{
    QFETCH(QString, missing);
    QFile::remove(missing);
    showChart();
    registry().hide(ScreenName::Form2);
    try {
        registry().show(ScreenName::Form3);
        QFAIL("the editor opened without its pick list");
    } catch (const Failure& failure) {
        QVERIFY2(failure.description().contains(missing), qPrintable(failure.description()));
        QVERIFY(failure.description().contains(QStringLiteral("各種データ登録")));
    }
    QVERIFY(!registry().loaded(ScreenName::Form3));
    QVERIFY(!QFile::exists(missing));
}

void TestEditor::missingPickListFromTheChartButton()
{
    QFile::remove(QStringLiteral("iro.txt"));
    showChart();
    QTest::mouseClick(chartControl<QPushButton>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(!registry().loaded(ScreenName::Form3));
    QTRY_VERIFY(chart()->isVisible());
    QCOMPARE(f->messages.asked.size(), 1);
    QCOMPARE(f->messages.asked.first().text,
             QStringLiteral(
                 "ファイルが見つかりません。 (iro.txt)\n「各種データ登録」画面を一度開くと作成されます。"));
    QVERIFY(!QFile::exists(QStringLiteral("iro.txt")));
}

void TestEditor::noRecordNumberNoEditor()
{
    writeFileBytes(RecordFileName, shibaRecord());
    f->start();
    QVERIFY_THROWS_EXCEPTION(Failure, registry().show(ScreenName::Form3));
    QVERIFY(!registry().loaded(ScreenName::Form3));

    showChart();
    try {
        registry().moveTo(ScreenName::Form2, ScreenRegistry::Leave::Hide, ScreenName::Form3,
                          EditorOpening{0, {}, {}});
        QFAIL("the editor opened on record 0");
    } catch (const Failure& failure) {
        QCOMPARE(failure.description(), QStringLiteral("レコード番号が不正です。"));
    }
    QVERIFY(!registry().loaded(ScreenName::Form3));
    QVERIFY(chart()->isVisible());
    QCOMPARE(readFileBytes(RecordFileName), shibaRecord());

    // Past the last record a file can hold nothing could ever be saved: no editor that cannot close.
    QVERIFY_THROWS_EXCEPTION(Failure, registry().moveTo(ScreenName::Form2, ScreenRegistry::Leave::Hide,
                                                        ScreenName::Form3, EditorOpening{32768, {}, {}}));
    QVERIFY(!registry().loaded(ScreenName::Form3));
}

// Opened by any caller, the editor shows the number and history lines it is given, and tells the
// caller which record it stored; Esc stores nothing and tells nothing.
void TestEditor::openedWithGivenValuesTellsTheStoredRecord()
{
    writeFileBytes(RecordFileName, shibaRecord() + shibaRecord());
    f->start();
    QList<qint32> stored;
    const auto open = [&] {
        registry().moveTo(ScreenName::Form1, ScreenRegistry::Leave::Hide, ScreenName::Form3,
                          EditorOpening{2,
                                        {QStringLiteral("一行目"), QStringLiteral("二行目"), QString(),
                                         QString(), QStringLiteral("五行目")},
                                        [&](qint32 number) { stored.append(number); }});
    };
    open();
    QCOMPARE(label(QStringLiteral("Label2"))->text(), QStringLiteral("2"));
    QCOMPARE(box(QStringLiteral("Text1"))->text(), QStringLiteral("一行目"));
    QCOMPARE(box(QStringLiteral("Text2"))->text(), QStringLiteral("二行目"));
    QCOMPARE(box(QStringLiteral("Text3"))->text(), QString());
    QCOMPARE(box(QStringLiteral("Text5"))->text(), QStringLiteral("五行目"));
    QCOMPARE(combo(QStringLiteral("Combo4"))->currentText(), QStringLiteral("柴犬") + QString(26, u' '));
    ProgramFixture::activate(editor());
    QTest::keyClick(combo(QStringLiteral("Combo1"))->lineEdit(), Qt::Key_Escape);
    QTRY_VERIFY(!registry().loaded(ScreenName::Form3));
    QVERIFY(stored.isEmpty());
    QCOMPARE(readFileBytes(RecordFileName), shibaRecord() + shibaRecord());

    open();
    click(QStringLiteral("Command1"));
    QTRY_VERIFY(!registry().loaded(ScreenName::Form3));
    QCOMPARE(stored, QList<qint32>{2});
    QCOMPARE(recordBytes(RecordFileName, 1), shibaRecord());
    QCOMPARE(recordBytes(RecordFileName, 2).mid(106, 50), padded("88ea8d7396da", 50));
}

void TestEditor::historyButtons()
{
    QVERIFY(openEditorFromChart());
    QLineEdit* first = box(QStringLiteral("Text1"));
    first->setText(QStringLiteral("前の行"));
    retype(combo(QStringLiteral("Combo8")), QStringLiteral("2004"));
    retype(combo(QStringLiteral("Combo10")), QStringLiteral("10"));
    retype(combo(QStringLiteral("Combo11")), QStringLiteral("狂犬病"));

    // "1回目" needs all four parts; "2回目" .. "5回目" write whatever is there.
    click(QStringLiteral("Command3"));
    QCOMPARE(first->text(), QStringLiteral("前の行"));
    click(QStringLiteral("Command4"));
    QCOMPARE(box(QStringLiteral("Text2"))->text(), QStringLiteral("2004年月10日   狂犬病   済み"));

    // A month of one space counts as filled in.
    retype(combo(QStringLiteral("Combo9")), QStringLiteral(" "));
    click(QStringLiteral("Command3"));
    QCOMPARE(first->text(), QStringLiteral("2004年 月10日   狂犬病   済み"));

    combo(QStringLiteral("Combo9"))->setCurrentIndex(1);
    box(QStringLiteral("Text3"))->setText(QStringLiteral("古い行"));
    click(QStringLiteral("Command5"));
    QCOMPARE(box(QStringLiteral("Text3"))->text(), QStringLiteral("2004年2月10日   狂犬病   済み"));

    for (int n = 8; n <= 11; ++n)
        combo(QStringLiteral("Combo%1").arg(n))->clearEditText();
    click(QStringLiteral("Command6"));
    click(QStringLiteral("Command7"));
    QCOMPARE(box(QStringLiteral("Text4"))->text(), QStringLiteral("年月日      済み"));
    QCOMPARE(box(QStringLiteral("Text5"))->text(), QStringLiteral("年月日      済み"));

    // A date typed in full-width digits goes into the line as the digits the lists offer.
    retype(combo(QStringLiteral("Combo8")), QStringLiteral("２０２６"));
    retype(combo(QStringLiteral("Combo9")), QStringLiteral("１１"));
    retype(combo(QStringLiteral("Combo10")), QStringLiteral("３"));
    retype(combo(QStringLiteral("Combo11")), QStringLiteral("狂犬病"));
    click(QStringLiteral("Command3"));
    QCOMPARE(first->text(), QStringLiteral("2026年11月3日   狂犬病   済み"));
}

void TestEditor::longHistoryLineShowsWhatIsStored()
{
    writeFileBytes(RecordFileName, shibaRecord());
    QVERIFY(openEditorFromChart());
    combo(QStringLiteral("Combo8"))->setCurrentText(QStringLiteral("2004"));
    combo(QStringLiteral("Combo9"))->setCurrentText(QStringLiteral("2"));
    combo(QStringLiteral("Combo10"))->setCurrentText(QStringLiteral("10"));
    retype(combo(QStringLiteral("Combo11")), QStringLiteral("ノミ・ダニ予防薬スポットタイプ大型犬用"));
    click(QStringLiteral("Command3"));
    // The line holds 50 bytes: the box shows it cut there, before the save, not only after it.
    QCOMPARE(box(QStringLiteral("Text1"))->text(),
             QStringLiteral("2004年2月10日   ノミ・ダニ予防薬スポットタイプ大型"));
    QCOMPARE(box(QStringLiteral("Text1"))->cursorPosition(), 0);

    click(QStringLiteral("Command1"));
    QTRY_VERIFY(!editor());
    QByteArray expected = shibaRecord();
    // The first 50 of the line's 61 bytes: up to 大型, without "犬用   済み".
    expected.replace(106, 50,
                     QByteArray::fromHex("32303034944e328c8e313093fa202020836d837e8145835f836a975c966896f2"
                                         "8358837c83628367835e8343837691e58c5e"));
    QCOMPARE(recordBytes(RecordFileName, 1), expected);
}

void TestEditor::newChartEndToEnd()
{
    f->start();
    QTest::mouseClick(f->control<QPushButton>(QStringLiteral("Form1"), QStringLiteral("Command1")),
                      Qt::LeftButton);
    QTRY_VERIFY(chart() && chart()->isVisible());
    QTest::mouseClick(chartControl<QPushButton>(QStringLiteral("Command9")), Qt::LeftButton);
    const QString number = chartControl<QLineEdit>(QStringLiteral("Text1"))->text();
    QTest::mouseClick(chartControl<QPushButton>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(editor() && editor()->isVisible());
    QVERIFY(!chart()->isVisible());
    QCOMPARE(label(QStringLiteral("Label2"))->text(), number);

    retype(combo(QStringLiteral("Combo1")), QStringLiteral("2005"));
    combo(QStringLiteral("Combo2"))->setCurrentIndex(3);
    retype(combo(QStringLiteral("Combo3")), QStringLiteral("5"));
    combo(QStringLiteral("Combo4"))
        ->setCurrentIndex(combo(QStringLiteral("Combo4"))->findText(QStringLiteral("トイプードル")));
    combo(QStringLiteral("Combo5"))->setCurrentIndex(1);
    retype(combo(QStringLiteral("Combo6")), QStringLiteral("白"));
    combo(QStringLiteral("Combo7"))->setCurrentIndex(0);
    retype(combo(QStringLiteral("Combo12")), QStringLiteral("4"));
    combo(QStringLiteral("Combo13"))->setCurrentIndex(8);
    retype(box(QStringLiteral("Text6")), QStringLiteral("よく食べる"));
    retype(box(QStringLiteral("Text7")), QStringLiteral("テスト"));
    retype(combo(QStringLiteral("Combo8")), QStringLiteral("2005"));
    combo(QStringLiteral("Combo9"))->setCurrentIndex(3);
    retype(combo(QStringLiteral("Combo10")), QStringLiteral("5"));
    combo(QStringLiteral("Combo11"))->setCurrentIndex(0);
    click(QStringLiteral("Command3"));
    retype(box(QStringLiteral("Text2")), QStringLiteral("狂犬病"));
    QTest::mouseClick(box(QStringLiteral("Text12")), Qt::LeftButton);
    retype(box(QStringLiteral("Text12")), QStringLiteral("3.25"));
    retype(box(QStringLiteral("Text13")), QStringLiteral("0.5"));
    click(QStringLiteral("Command1"));

    QTRY_VERIFY(!editor());
    QVERIFY(chart()->isVisible());
    QTRY_COMPARE(chartControl<QLabel>(QStringLiteral("Label2"))->text(),
                 QStringLiteral("トイプードル") + QString(18, u' '));
    const QByteArray expected = recordWith({
        {0, QByteArray::fromHex("d50704000500")},
        {6, padded("83818358", 10)},
        {16, padded("836783438376815b8368838b", 30)},
        {46, padded("9492", 30)},
        {76, padded("8db293a1", 30)},
        {106, padded("32303035944e348c8e3593fa202020837483428389838a8341975c96682020208dcf82dd", 50)},
        {156, padded("8bb68ca29561", 50)},
        {206, spaces(150)},
        {356, padded("82e682ad904882d782e9", 70)},
        {426, padded("836583588367", 70)},
        {496, spaces(280)},
        {776, padded("34", 10)},
        {786, padded("8be38f42926e95fb", 20)},
        {806, QByteArray::fromHex("000050400000003f")},
    });
    const int n = number.toInt();
    QCOMPARE(readFileBytes(RecordFileName).size(), n * RecordLength);
    QCOMPARE(recordBytes(RecordFileName, n), expected);
}

void TestEditor::unchangedChartGoesBackByteForByte()
{
    writeFileBytes(RecordFileName, shibaRecord() + tradedRecord());
    QVERIFY(openEditorFromChart(1));
    click(QStringLiteral("Command1"));
    QTRY_VERIFY(!editor());
    QCOMPARE(readFileBytes(RecordFileName), shibaRecord() + tradedRecord());
    QCOMPARE(f->messages.asked.size(), 0);
}

void TestEditor::okWithoutInputAppendsABlankRecord()
{
    writeFileBytes(RecordFileName, shibaRecord());
    showChart();
    QTest::mouseClick(chartControl<QPushButton>(QStringLiteral("Command9")), Qt::LeftButton);
    QCOMPARE(chartControl<QLineEdit>(QStringLiteral("Text1"))->text(), QStringLiteral("2"));
    QTest::mouseClick(chartControl<QPushButton>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(editor());
    click(QStringLiteral("Command1"));
    QTRY_VERIFY(!editor());
    QCOMPARE(readFileBytes(RecordFileName), shibaRecord() + blankRecord());
    QVERIFY(chart()->isVisible());
}

void TestEditor::deleteBlanksAllButTheTradingFields()
{
    writeFileBytes(RecordFileName, shibaRecord() + tradedRecord());
    QVERIFY(openEditorFromChart(2));
    click(QStringLiteral("Command2"));
    QTRY_VERIFY(!editor());
    QCOMPARE(f->messages.asked.size(), 0);

    QByteArray blanked = blankRecord();
    blanked.replace(814, 150, tradedRecord().mid(814));
    QCOMPARE(readFileBytes(RecordFileName), shibaRecord() + blanked);
    QVERIFY(chart()->isVisible());
    QTRY_COMPARE(chartControl<QLabel>(QStringLiteral("Label2"))->text(), QString(30, u' '));

    // The blanked chart is not free: a new entry from chart 1 passes over it.
    QTest::mouseClick(chartControl<QPushButton>(QStringLiteral("Command5")), Qt::LeftButton);
    QCOMPARE(chartControl<QLineEdit>(QStringLiteral("Text1"))->text(), QStringLiteral("1"));
    QTest::mouseClick(chartControl<QPushButton>(QStringLiteral("Command9")), Qt::LeftButton);
    QCOMPARE(chartControl<QLineEdit>(QStringLiteral("Text1"))->text(), QStringLiteral("3"));
}

void TestEditor::closeBoxSavesAndShowsTheChart()
{
    writeFileBytes(RecordFileName, shibaRecord());
    QVERIFY(openEditorFromChart());
    retype(combo(QStringLiteral("Combo4")), QStringLiteral("チワワ"));
    QVERIFY(editor()->close());
    QTRY_VERIFY(chart()->isVisible());
    QVERIFY(!registry().loaded(ScreenName::Form3));
    QByteArray expected = shibaRecord();
    expected.replace(16, 30, padded("8360838f838f", 30));
    QCOMPARE(readFileBytes(RecordFileName), expected);
    QTRY_COMPARE(chartControl<QLabel>(QStringLiteral("Label2"))->text(),
                 QStringLiteral("チワワ") + QString(24, u' '));
    QCOMPARE(f->exits, 0);
}

enum class BadSave { Weight, DatePart, Unwritable };

void TestEditor::failedSaveKeepsEverything_data()
{
    QTest::addColumn<BadSave>("bad");
    QTest::addColumn<bool>("closeBox");
    QTest::addColumn<QString>("message");

    for (const bool closeBox : {false, true}) {
        const char* way = closeBox ? " by close box" : " by OK";
        QTest::addRow("weight 3kg%s", way)
            << BadSave::Weight << closeBox << QStringLiteral("出生時体重: 型が一致しません。");
        QTest::addRow("birth year 40000%s", way)
            << BadSave::DatePart << closeBox << QStringLiteral("生年月日（年）: オーバーフローしました。");
        QTest::addRow("full disk%s", way)
            << BadSave::Unwritable << closeBox << QStringLiteral("ファイルに書き込めません。 (detapetto.dt)");
    }
}

void TestEditor::failedSaveKeepsEverything()
{
    QFETCH(BadSave, bad);
    QFETCH(bool, closeBox);
    QFETCH(QString, message);

    const QByteArray file = shibaRecord();
    writeFileBytes(RecordFileName, file);
    // The full disk lets nothing be appended, so that case edits the free chart after the last.
    QVERIFY(openEditorFromChart(bad == BadSave::Unwritable ? 2 : 1));

    retype(combo(QStringLiteral("Combo4")), QStringLiteral("チワワ"));
    retype(box(QStringLiteral("Text6")), QStringLiteral("テスト"));
    if (bad == BadSave::Weight)
        retype(box(QStringLiteral("Text12")), QStringLiteral("3kg"));
    if (bad == BadSave::DatePart)
        retype(combo(QStringLiteral("Combo1")), QStringLiteral("40000"));
    const QByteArray shared = bytesOf(f->program->records().CurrentRecord);

    {
        std::unique_ptr<FileSizeLimit> fullDisk;
        if (bad == BadSave::Unwritable)
            fullDisk = std::make_unique<FileSizeLimit>(file.size());
        if (closeBox) {
            // The failure is shown, then the user chooses to stay rather than give the typing up.
            f->messages.setNextAnswer(MessageBoxes::Answer::Ok);
            f->messages.setNextAnswer(MessageBoxes::Answer::Cancel);
            QVERIFY(!editor()->close());
        } else {
            click(QStringLiteral("Command1"));
        }
    }
    QTest::qWait(20);

    QCOMPARE(f->messages.asked.size(), closeBox ? 2 : 1);
    QCOMPARE(f->messages.asked.first().text, message);
    QCOMPARE(f->messages.asked.first().title, QStringLiteral("ソラニカ"));
    if (closeBox) {
        const ScriptedMessageBoxes::Asked discard = f->messages.asked.last();
        QCOMPARE(discard.text, QStringLiteral("保存できませんでした。入力した内容を破棄して閉じますか？"));
        QCOMPARE(discard.title, QStringLiteral("ソラニカ"));
        QVERIFY(discard.buttons == MessageBoxes::Buttons::OkCancel);
        QVERIFY(discard.defaultAnswer == MessageBoxes::Answer::Cancel);
    }
    QCOMPARE(readFileBytes(RecordFileName), file);
    QCOMPARE(bytesOf(f->program->records().CurrentRecord), shared);
    QVERIFY(editor() && editor()->isVisible());
    QVERIFY(!chart()->isVisible());
    QCOMPARE(combo(QStringLiteral("Combo4"))->currentText(), QStringLiteral("チワワ"));
    QCOMPARE(box(QStringLiteral("Text6"))->text(), QStringLiteral("テスト"));
    if (bad == BadSave::Weight)
        QCOMPARE(box(QStringLiteral("Text12"))->text(), QStringLiteral("3kg"));
    if (bad == BadSave::DatePart)
        QCOMPARE(combo(QStringLiteral("Combo1"))->currentText(), QStringLiteral("40000"));

    // Once the cause is gone the same editor saves what was typed.
    if (bad == BadSave::Weight)
        retype(box(QStringLiteral("Text12")), QStringLiteral("1.75"));
    if (bad == BadSave::DatePart)
        retype(combo(QStringLiteral("Combo1")), QStringLiteral("2004"));
    click(QStringLiteral("Command1"));
    QTRY_VERIFY(!editor());
    QVERIFY(chart()->isVisible());
    const int number = bad == BadSave::Unwritable ? 2 : 1;
    QCOMPARE(recordBytes(RecordFileName, number).mid(16, 30), padded("8360838f838f", 30));
    QCOMPARE(recordBytes(RecordFileName, number).mid(356, 70), padded("836583588367", 70));
    if (bad == BadSave::Weight)
        QCOMPARE(recordBytes(RecordFileName, 1).mid(806, 4), QByteArray::fromHex("0000e03f"));
}

// Real message boxes, answered from a timer: the failure, then the question whether to give up.
void TestEditor::closeBoxGivesUpASaveThatCannotSucceed()
{
    setUpApplication(); // Qt's Japanese button texts, as the program has them
    f.reset();
    f = std::make_unique<ProgramFixture>(ProgramFixture::Boxes::Real);
    writePickLists();
    const QByteArray file = shibaRecord();
    writeFileBytes(RecordFileName, file);
    QVERIFY(openEditorFromChart(2));
    retype(combo(QStringLiteral("Combo4")), QStringLiteral("チワワ"));

    RealBoxes boxes({QMessageBox::Ok, QMessageBox::Ok});
    {
        FileSizeLimit fullDisk(file.size());
        editor()->close();
    }
    QTRY_VERIFY(!editor());
    QTRY_VERIFY(chart() && chart()->isVisible());
    QCOMPARE(boxes.seen.size(), 2);
    QCOMPARE(boxes.seen[0].text, QStringLiteral("ファイルに書き込めません。 (detapetto.dt)"));
    QCOMPARE(boxes.seen[1].text, QStringLiteral("保存できませんでした。入力した内容を破棄して閉じますか？"));
    QCOMPARE(boxes.seen[1].title, QStringLiteral("ソラニカ"));
    QCOMPARE(boxes.seen[1].buttons, (QStringList{QStringLiteral("OK"), QStringLiteral("キャンセル")}));
    QCOMPARE(boxes.seen[1].defaultButton, QStringLiteral("キャンセル"));
    QCOMPARE(readFileBytes(RecordFileName), file);
    QTest::qWait(20);
    QCOMPARE(f->exits, 0);
}

void TestEditor::fullWidthNumbersAndNamedFailures_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("message");
    const auto stored = [](const char* name, const char* control, const QString& typed, int offset,
                           const QByteArray& bytes) {
        QTest::newRow(name) << QString::fromLatin1(control) << typed << offset << bytes << QString();
    };
    const auto refused = [](const char* name, const char* control, const QString& typed,
                            const QString& message) {
        QTest::newRow(name) << QString::fromLatin1(control) << typed << 0 << QByteArray() << message;
    };
    stored("year", "Combo1", QStringLiteral("２０２６"), 0, QByteArray::fromHex("ea07"));
    stored("month", "Combo2", QStringLiteral("９"), 2, QByteArray::fromHex("0900"));
    stored("day", "Combo3", QStringLiteral("３０"), 4, QByteArray::fromHex("1e00"));
    stored("year with full-width minus", "Combo1", QStringLiteral("－５"), 0, QByteArray::fromHex("fbff"));
    stored("siblings", "Combo12", QStringLiteral("１２"), 776, padded("3132", 10));
    stored("birth weight", "Text12", QStringLiteral("０．８"), 806, QByteArray::fromHex("cdcc4c3f"));
    stored("sale weight with full-width spaces", "Text13", QStringLiteral("　１．５　"), 810,
           QByteArray::fromHex("0000c03f"));
    refused("birth weight with a unit", "Text12", QStringLiteral("０．８ｋｇ"),
            QStringLiteral("出生時体重: 型が一致しません。"));
    refused("sale weight in words", "Text13", QStringLiteral("abc"),
            QStringLiteral("販売時体重: 型が一致しません。"));
    refused("year too large", "Combo1", QStringLiteral("４００００"),
            QStringLiteral("生年月日（年）: オーバーフローしました。"));
    refused("month too large", "Combo2", QStringLiteral("99999"),
            QStringLiteral("生年月日（月）: オーバーフローしました。"));
    refused("day too large", "Combo3", QStringLiteral("－99999"),
            QStringLiteral("生年月日（日）: オーバーフローしました。"));
}

// Numbers typed with the input method in full-width mode are read as the shop means them; one that
// still cannot be read says which box it is in and stores nothing.
void TestEditor::fullWidthNumbersAndNamedFailures()
{
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(int, offset);
    QFETCH(QByteArray, stored);
    QFETCH(QString, message);
    writeFileBytes(RecordFileName, shibaRecord());
    QVERIFY(openEditorFromChart());
    if (control.startsWith(QStringLiteral("Combo")))
        retype(combo(control), typed);
    else
        retype(box(control), typed);
    click(QStringLiteral("Command1"));

    if (message.isEmpty()) {
        QTRY_VERIFY(!editor());
        QVERIFY(f->messages.asked.isEmpty());
        QByteArray expected = shibaRecord();
        expected.replace(offset, stored.size(), stored);
        QCOMPARE(recordBytes(RecordFileName, 1), expected);
    } else {
        QCOMPARE(f->messages.asked.size(), 1);
        QCOMPARE(f->messages.asked.first().text, message);
        QVERIFY(editor() && editor()->isVisible());
        QCOMPARE(readFileBytes(RecordFileName), shibaRecord());
    }
}

// A box that feeds a fixed-width field stops where the field is full, so nothing is cut unseen on saving.
void TestEditor::boxesTakeWhatTheirFieldsHold()
{
    writeFileBytes(RecordFileName, shibaRecord());
    QVERIFY(openEditorFromChart());
    retype(combo(QStringLiteral("Combo4")), QStringLiteral("キャバリア・キング・チャールズ・スパニエル"));
    retype(combo(QStringLiteral("Combo5")), QStringLiteral("オスメスオスメス"));
    retype(combo(QStringLiteral("Combo13")), QStringLiteral("北海道札幌市中央区大通"));
    retype(box(QStringLiteral("Text2")), QStringLiteral("ab") + QStringLiteral("あ").repeated(30));
    QCOMPARE(combo(QStringLiteral("Combo4"))->currentText(),
             QStringLiteral("キャバリア・キング・チャールズ"));
    QCOMPARE(combo(QStringLiteral("Combo5"))->currentText(), QStringLiteral("オスメスオ"));
    QCOMPARE(combo(QStringLiteral("Combo13"))->currentText(), QStringLiteral("北海道札幌市中央区大"));
    QCOMPARE(box(QStringLiteral("Text2"))->text(), QStringLiteral("ab") + QStringLiteral("あ").repeated(24));
    click(QStringLiteral("Command1"));
    QTRY_VERIFY(!editor());
    const QByteArray stored = recordBytes(RecordFileName, 1);
    QCOMPARE(stored.mid(16, 30),
             QByteArray::fromHex("834c8383836f838a83418145834c8393834f814583608383815b838b8359"));
    QCOMPARE(stored.mid(6, 10), QByteArray::fromHex("83498358838183588349"));
    QCOMPARE(stored.mid(156, 50), QByteArray("ab") + QByteArray::fromHex("82a0").repeated(24));
}

enum class EscapeAfter { Nothing, LookAtWeight, KindChanged };

void TestEditor::escapeLeavesWithoutSaving_data()
{
    QTest::addColumn<EscapeAfter>("after");
    QTest::addColumn<MessageBoxes::Answer>("answer");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<bool>("closes");
    QTest::newRow("nothing changed") << EscapeAfter::Nothing << MessageBoxes::Answer::Cancel << false << true;
    QTest::newRow("a weight box only entered")
        << EscapeAfter::LookAtWeight << MessageBoxes::Answer::Cancel << false << true;
    QTest::newRow("kind changed, shop stays")
        << EscapeAfter::KindChanged << MessageBoxes::Answer::Cancel << true << false;
    QTest::newRow("kind changed, shop gives it up")
        << EscapeAfter::KindChanged << MessageBoxes::Answer::Ok << true << true;
}

void TestEditor::escapeLeavesWithoutSaving()
{
    QFETCH(EscapeAfter, after);
    QFETCH(MessageBoxes::Answer, answer);
    QFETCH(bool, asks);
    QFETCH(bool, closes);
    writeFileBytes(RecordFileName, shibaRecord());
    QVERIFY(openEditorFromChart());
    ProgramFixture::activate(editor());
    QWidget* keys = combo(QStringLiteral("Combo1"))->lineEdit();
    if (after == EscapeAfter::LookAtWeight) {
        keys = box(QStringLiteral("Text12"));
        keys->setFocus(Qt::TabFocusReason);
        QCOMPARE(box(QStringLiteral("Text12"))->text(), QString());
    }
    if (after == EscapeAfter::KindChanged)
        retype(combo(QStringLiteral("Combo4")), QStringLiteral("チワワ"));
    f->messages.setNextAnswer(answer);
    QTest::keyClick(keys, Qt::Key_Escape);

    QCOMPARE(f->messages.asked.size(), asks ? 1 : 0);
    if (asks) {
        const ScriptedMessageBoxes::Asked asked = f->messages.asked.first();
        QCOMPARE(asked.text, QStringLiteral("入力した内容を破棄して閉じますか？"));
        QVERIFY(asked.buttons == MessageBoxes::Buttons::OkCancel);
        QVERIFY(asked.defaultAnswer == MessageBoxes::Answer::Cancel);
    }
    if (closes) {
        QTRY_VERIFY(!editor());
        QTRY_VERIFY(chart()->isVisible());
        QTRY_COMPARE(chartControl<QLabel>(QStringLiteral("Label2"))->text().trimmed(),
                     QStringLiteral("柴犬"));
    } else {
        QTest::qWait(20);
        QVERIFY(editor() && editor()->isVisible());
        QCOMPARE(combo(QStringLiteral("Combo4"))->currentText(), QStringLiteral("チワワ"));
    }
    QCOMPARE(readFileBytes(RecordFileName), shibaRecord());
}

void TestEditor::wheelTurnsOnlyTheFocusedDropDown()
{
    writeFileBytes(RecordFileName, shibaRecord());
    QVERIFY(openEditorFromChart());
    ProgramFixture::activate(editor());
    QComboBox* kind = combo(QStringLiteral("Combo4"));
    const auto turnWheel = [kind] {
        const QPointF centre = QRectF(kind->rect()).center();
        QWheelEvent wheel(centre, kind->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(kind, &wheel);
    };
    QTRY_VERIFY(combo(QStringLiteral("Combo1"))->hasFocus());
    turnWheel();
    QCOMPARE(kind->currentText().trimmed(), QStringLiteral("柴犬"));

    kind->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(kind->hasFocus());
    turnWheel();
    QVERIFY(kind->currentText().trimmed() != QStringLiteral("柴犬"));
}

void TestEditor::deleteAsksFirstWhenTheChartHasSaleInformation_data()
{
    QTest::addColumn<bool>("hasSale");
    QTest::addColumn<MessageBoxes::Answer>("answer");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("no sale information") << false << MessageBoxes::Answer::Cancel << true;
    QTest::newRow("sale information, kept") << true << MessageBoxes::Answer::Cancel << false;
    QTest::newRow("sale information, deleted too") << true << MessageBoxes::Answer::Ok << true;
}

void TestEditor::deleteAsksFirstWhenTheChartHasSaleInformation()
{
    QFETCH(bool, hasSale);
    QFETCH(MessageBoxes::Answer, answer);
    QFETCH(bool, deleted);
    writeFileBytes(RecordFileName, shibaRecord());
    QVERIFY(openEditorFromChart());
    const ChartSale sale = chipSale(QStringLiteral("392141000123456"), QStringLiteral("山田 花子"));
    // Another chart's sale information makes the database exist either way.
    f->program->database().sales().saveChartSale(2, sale);
    if (hasSale)
        f->program->database().sales().saveChartSale(1, sale);
    f->messages.setNextAnswer(answer);
    click(QStringLiteral("Command2"));

    QCOMPARE(f->messages.asked.size(), hasSale ? 1 : 0);
    if (hasSale) {
        const ScriptedMessageBoxes::Asked asked = f->messages.asked.first();
        QCOMPARE(
            asked.text,
            QStringLiteral("このカルテにはマイクロチップ・販売情報があります。カルテと一緒に削除しますか？"));
        QVERIFY(asked.buttons == MessageBoxes::Buttons::OkCancel);
        QVERIFY(asked.defaultAnswer == MessageBoxes::Answer::Cancel);
    }
    if (deleted) {
        QTRY_VERIFY(!editor());
        QCOMPARE(recordBytes(RecordFileName, 1).mid(16, 30), spaces(30));
        QVERIFY(f->program->database().sales().chartSale(1).isEmpty());
    } else {
        QVERIFY(editor() && editor()->isVisible());
        QCOMPARE(combo(QStringLiteral("Combo4"))->currentText().trimmed(), QStringLiteral("柴犬"));
        QCOMPARE(readFileBytes(RecordFileName), shibaRecord());
        QCOMPARE(f->program->database().sales().chartSale(1), sale);
    }
    QCOMPARE(f->program->database().sales().chartSale(2), sale);
}

void TestEditor::deleteQuestionOnARealBoxDefaultsToCancel()
{
    setUpApplication();
    f.reset();
    f = std::make_unique<ProgramFixture>(ProgramFixture::Boxes::Real);
    writePickLists();
    writeFileBytes(RecordFileName, shibaRecord());
    QVERIFY(openEditorFromChart());
    f->program->database().sales().saveChartSale(1, chipSale(QStringLiteral("392141000123456")));

    RealBoxes boxes; // Enter on the box: its default button
    click(QStringLiteral("Command2"));
    QCOMPARE(boxes.seen.size(), 1);
    QCOMPARE(
        boxes.seen[0].text,
        QStringLiteral("このカルテにはマイクロチップ・販売情報があります。カルテと一緒に削除しますか？"));
    QCOMPARE(boxes.seen[0].buttons, (QStringList{QStringLiteral("OK"), QStringLiteral("キャンセル")}));
    QCOMPARE(boxes.seen[0].defaultButton, QStringLiteral("キャンセル"));
    QVERIFY(editor() && editor()->isVisible());
    QCOMPARE(readFileBytes(RecordFileName), shibaRecord());
    QCOMPARE(f->program->database().sales().chartSale(1).microchip, QStringLiteral("392141000123456"));
}

// 32767 is the last record a file can hold: the editor opens on it and stores it there.
void TestEditor::lastRecordAFileCanHoldOpensAndSaves()
{
    writeFileBytes(RecordFileName, shibaRecord());
    QVERIFY(openEditorFromChart(32767));
    QCOMPARE(label(QStringLiteral("Label2"))->text(), QStringLiteral("32767"));
    retype(combo(QStringLiteral("Combo4")), QStringLiteral("チワワ"));
    click(QStringLiteral("Command1"));
    QTRY_VERIFY(!editor());
    QVERIFY(f->messages.asked.isEmpty());
    QCOMPARE(QFileInfo(RecordFileName).size(), qint64(32767) * RecordLength);
    QCOMPARE(recordBytes(RecordFileName, 32767).mid(16, 30), padded("8360838f838f", 30));
    QCOMPARE(recordBytes(RecordFileName, 1), shibaRecord());
}

void TestEditor::typingReplacesWhatABoxShows()
{
    QVERIFY(openEditorFromChart(2)); // a free record: every date part shows 0
    ProgramFixture::activate(editor());
    QTRY_VERIFY(combo(QStringLiteral("Combo1"))->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2026"));
    QCOMPARE(combo(QStringLiteral("Combo1"))->currentText(), QStringLiteral("2026"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("4"));
    QCOMPARE(combo(QStringLiteral("Combo2"))->currentText(), QStringLiteral("4"));

    // A click places the cursor where the user clicked instead.
    QLineEdit* day = combo(QStringLiteral("Combo3"))->lineEdit();
    QTest::mouseClick(day, Qt::LeftButton, {}, QPoint(day->width() - 2, day->height() / 2));
    QTest::keyClicks(day, QStringLiteral("1"));
    QCOMPARE(combo(QStringLiteral("Combo3"))->currentText(), QStringLiteral("01"));
}

void TestEditor::enterOnAFocusedButtonClicksIt()
{
    writeFileBytes(RecordFileName, shibaRecord());
    QVERIFY(openEditorFromChart());
    retype(combo(QStringLiteral("Combo4")), QStringLiteral("チワワ"));
    button(QStringLiteral("Command1"))->setFocus();
    QTest::keyClick(button(QStringLiteral("Command1")), Qt::Key_Return);
    QTRY_VERIFY(!editor());
    QVERIFY(chart()->isVisible());
    QCOMPARE(recordBytes(RecordFileName, 1).mid(16, 30), padded("8360838f838f", 30));
}

void TestEditor::editorIsADialogOfTheChart()
{
    QVERIFY(openEditorFromChart());
    // Owned by the chart screen's window, it stays out of the taskbar; caption and size as before.
    QVERIFY(editor()->windowHandle());
    QCOMPARE(editor()->windowHandle()->transientParent(), chart()->windowHandle());
    QCOMPARE(editor()->windowTitle(), QStringLiteral("データ入力"));
    QCOMPARE(editor()->size(), QSize(600, 493));
}

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
