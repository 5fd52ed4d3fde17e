#include "app/ScreenRegistry.h"
#include "app/ScreenWindow.h"
#include "store/ShopSettings.h"
#include "support/FileSizeLimit.h"
#include "support/PickListNames.h"
#include "support/ProgramFixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <memory>

namespace {

QByteArray lines(std::initializer_list<const char*> items)
{
    QByteArray bytes;
    for (const char* item : items)
        bytes += QByteArray(item) + "\r\n";
    return bytes;
}

// Types `text` into `box` as the user would: plain keys for ASCII, the input method's commit for
// Japanese.
void type(QWidget* box, const QString& text)
{
    bool ascii = true;
    for (QChar character : text)
        ascii = ascii && character.unicode() < 0x80;
    if (ascii) {
        QTest::keyClicks(box, text);
        return;
    }
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(box, &commit);
}

} // namespace

// The master-data screen: nine pick lists written to their files at once, the shop details saved
// when the screen closes.
class TestMasterData : public QObject
{
    Q_OBJECT
private slots:
    void init() { f = std::make_unique<ProgramFixture>(); }
    void cleanup() { f.reset(); }

    void firstOpeningCreatesNineEmptyFiles();
    void layoutFocusAndInputModes();
    void tabVisitsEveryGroupThenTheShopDetails();
    void sortedGroupShowsCollatedOrderWhileTheFileKeepsAdditionOrder();
    void unsortedGroupKeepsAdditionOrder();
    void registeringAfterAnUnterminatedLastLine();
    void registerTakesAnyTextButTheEmptyOne();
    void itemLongerThanItsFieldIsRefused_data();
    void itemLongerThanItsFieldIsRefused();
    void deleteNeedsASelectionAndRewritesOnlyItsOwnFile();
    void deletingTheOnlyEntryLeavesAnEmptyFile();
    void japaneseItemsAreShiftJisAndCollatedByReading();
    void shopDetailsAreSavedByTheCloseBox();
    void okReturnsToTheStartScreen();
    void okReturnsToTheStartScreenAlsoWhenOpenedFromTheChart();
    void unwritableFileLeavesListAndFileAsTheyWere();
    void unreadableFileKeepsTheScreenFromOpening();
    void unsavableShopDetailsKeepTheScreenOpen();
    void closeBoxGivesUpShopDetailsThatCannotBeSaved();

private:
    QWidget* openFromStartScreen();
    QLineEdit* input(int group) { return control<QLineEdit>(QStringLiteral("Text%1").arg(group)); }
    QPushButton* registerButton(int group) { return button(QStringLiteral("Command%1").arg(2 * group - 1)); }
    QPushButton* deleteButton(int group) { return button(QStringLiteral("Command%1").arg(2 * group)); }
    QListWidget* list(int group) { return control<QListWidget>(QStringLiteral("List%1").arg(group)); }
    QPushButton* button(const QString& name) { return control<QPushButton>(name); }
    template <typename T> T* control(const QString& name)
    {
        T* found = f->control<T>(QStringLiteral("Form4"), name);
        Q_ASSERT(found);
        return found;
    }
    void registerText(int group, const QString& text);
    QStringList entries(int group);
    QList<QByteArray> allFiles();

    std::unique_ptr<ProgramFixture> f;
};

QWidget* TestMasterData::openFromStartScreen()
{
    f->start();
    QTest::mouseClick(f->control<QPushButton>(QStringLiteral("Form1"), QStringLiteral("Command2")),
                      Qt::LeftButton);
    return f->window(QStringLiteral("Form4"));
}

void TestMasterData::registerText(int group, const QString& text)
{
    input(group)->setFocus();
    type(input(group), text);
    QTest::mouseClick(registerButton(group), Qt::LeftButton);
}

QStringList TestMasterData::entries(int group)
{
    QStringList texts;
    for (int row = 0; row < list(group)->count(); ++row)
        texts.append(list(group)->item(row)->text());
    return texts;
}

QList<QByteArray> TestMasterData::allFiles()
{
    QList<QByteArray> contents;
    for (const QString& name : PickListNames)
        contents.append(readFileBytes(name));
    return contents;
}

void TestMasterData::firstOpeningCreatesNineEmptyFiles()
{
    QWidget* form4 = openFromStartScreen();
    QVERIFY(form4);
    QCOMPARE(f->visibleWindowNames(), QStringList{QStringLiteral("Form4")});
    for (const QString& name : PickListNames) {
        QVERIFY2(QFileInfo(name).isFile(), qPrintable(name));
        QCOMPARE(QFileInfo(name).size(), 0);
    }
    for (int group = 1; group <= 9; ++group) {
        QCOMPARE(list(group)->count(), 0);
        QCOMPARE(input(group)->text(), QString());
    }
    for (int box = 10; box <= 13; ++box)
        QCOMPARE(input(box)->text(), QString());
    QVERIFY(f->messages.asked.isEmpty());
}

void TestMasterData::layoutFocusAndInputModes()
{
    QWidget* form4 = openFromStartScreen();
    QCOMPARE(form4->windowTitle(), QStringLiteral("基本データ入力"));
    QCOMPARE(form4->size(), QSize(704, 435));
    QVERIFY(!(form4->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(form4->focusWidget(), input(1));

    QCOMPARE(control<QLabel>(QStringLiteral("Label4"))->text(), QStringLiteral("投薬名"));
    QCOMPARE(control<QLabel>(QStringLiteral("Label4"))->geometry(), QRect(320, 268, 89, 25));
    QCOMPARE(list(4)->geometry(), QRect(324, 316, 281, 100));
    QCOMPARE(input(13)->geometry(), QRect(72, 68, 437, 21));
    QCOMPARE(button(QStringLiteral("Command19"))->text(), QStringLiteral("OK"));
    QCOMPARE(control<QWidget>(QStringLiteral("Shape1"))->geometry(), QRect(8, 12, 573, 85));
    QCOMPARE(button(QStringLiteral("Command9"))->text(), QStringLiteral("Command1"));
    QCOMPARE(control<QLabel>(QStringLiteral("Label7"))->text(), QStringLiteral("Label1うんち"));
    // The narrow groups exist and lie below the client area.
    for (int group = 5; group <= 9; ++group) {
        QVERIFY(list(group)->isVisible());
        QVERIFY(list(group)->y() >= form4->height());
    }

    for (int label : {1, 2, 3, 4, 10, 11, 12, 13}) {
        auto* shown = control<QLabel>(QStringLiteral("Label%1").arg(label));
        QCOMPARE(shown->palette().color(QPalette::Window), QColor(128, 255, 128));
        QVERIFY(shown->autoFillBackground());
        QCOMPARE(shown->font().bold(), label <= 4);
    }

    for (QPushButton* each : form4->findChildren<QPushButton*>()) {
        QVERIFY(!each->isDefault());
        QVERIFY(!each->autoDefault());
    }

    QCOMPARE(input(10)->property("inputMode").toString(), QStringLiteral("hiragana"));
    QCOMPARE(input(11)->property("inputMode").toString(), QStringLiteral("off"));
    QCOMPARE(input(12)->property("inputMode").toString(), QStringLiteral("hiragana"));
    QCOMPARE(input(13)->property("inputMode").toString(), QStringLiteral("hiragana"));
    for (int group = 1; group <= 9; ++group)
        QVERIFY(!input(group)->property("inputMode").isValid());
}

void TestMasterData::tabVisitsEveryGroupThenTheShopDetails()
{
    QWidget* form4 = openFromStartScreen();
    ProgramFixture::activate(form4);
    QTRY_COMPARE(QApplication::focusWidget(), input(1));

    QStringList expected;
    for (int group = 1; group <= 9; ++group) {
        expected << QStringLiteral("Text%1").arg(group) << QStringLiteral("Command%1").arg(2 * group - 1)
                 << QStringLiteral("Command%1").arg(2 * group) << QStringLiteral("List%1").arg(group);
    }
    expected << QStringLiteral("Command19") << QStringLiteral("Text10") << QStringLiteral("Text11")
             << QStringLiteral("Text12") << QStringLiteral("Text13") << QStringLiteral("careIntervals")
             << QStringLiteral("Text1");

    QStringList visited;
    for (int step = 0; step < expected.size(); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, expected.mid(1) << QStringLiteral("Command1"));

    // From the last visible list straight into the hidden row.
    list(4)->setFocus();
    QTest::keyClick(list(4), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), input(5));
}

void TestMasterData::sortedGroupShowsCollatedOrderWhileTheFileKeepsAdditionOrder()
{
    openFromStartScreen();
    registerText(1, QStringLiteral("Kuro"));
    QCOMPARE(input(1)->text(), QString());
    QCOMPARE(input(1)->window()->focusWidget(), input(1));
    registerText(1, QStringLiteral("Aka"));
    registerText(1, QStringLiteral("Shiro"));
    QCOMPARE(entries(1), (QStringList{"Aka", "Kuro", "Shiro"}));
    QCOMPARE(readFileBytes(QStringLiteral("syurui.txt")), lines({"Kuro", "Aka", "Shiro"}));

    QListWidget* list1 = list(1);
    QTest::mouseClick(list1->viewport(), Qt::LeftButton, {}, list1->visualItemRect(list1->item(2)).center());
    QCOMPARE(list1->selectedItems().size(), 1);
    QTest::mouseClick(deleteButton(1), Qt::LeftButton);
    QCOMPARE(entries(1), (QStringList{"Aka", "Kuro"}));
    QCOMPARE(readFileBytes(QStringLiteral("syurui.txt")), lines({"Aka", "Kuro"}));
    QVERIFY(list1->selectedItems().isEmpty());
    QCOMPARE(list1->currentRow(), -1);
}

void TestMasterData::unsortedGroupKeepsAdditionOrder()
{
    openFromStartScreen();
    for (const char* item : {"Kuro", "Aka", "Shiro"})
        registerText(5, QString::fromLatin1(item));
    QCOMPARE(entries(5), (QStringList{"Kuro", "Aka", "Shiro"}));
    QCOMPARE(readFileBytes(QStringLiteral("taicyou.txt")), lines({"Kuro", "Aka", "Shiro"}));

    list(5)->setCurrentRow(1);
    QTest::mouseClick(deleteButton(5), Qt::LeftButton);
    QCOMPARE(entries(5), (QStringList{"Kuro", "Shiro"}));
    QCOMPARE(readFileBytes(QStringLiteral("taicyou.txt")), lines({"Kuro", "Shiro"}));
}

void TestMasterData::registeringAfterAnUnterminatedLastLine()
{
    // A list written by another program: its last line has no CR LF.
    writeFileBytes(QStringLiteral("syurui.txt"), sjis(QStringLiteral("柴犬")));
    openFromStartScreen();
    registerText(1, QStringLiteral("チワワ"));
    QCOMPARE(entries(1), (QStringList{"チワワ", "柴犬"}));
    QCOMPARE(readFileBytes(QStringLiteral("syurui.txt")), sjis(QStringLiteral("柴犬\r\nチワワ\r\n")));
}

void TestMasterData::itemLongerThanItsFieldIsRefused_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("message");
    QTest::newRow("breed of 21 full-width characters")
        << 1 << QStringLiteral("syurui.txt") << QStringLiteral("キャバリア・キング・チャールズ・スパニエル")
        << QStringLiteral("犬種は全角15文字（半角30文字）までです。短くして登録してください。");
    QTest::newRow("breed of 31 half-width characters")
        << 1 << QStringLiteral("syurui.txt") << QStringLiteral("a").repeated(31)
        << QStringLiteral("犬種は全角15文字（半角30文字）までです。短くして登録してください。");
    QTest::newRow("breed that just fits")
        << 1 << QStringLiteral("syurui.txt") << QStringLiteral("キャバリア・キング・チャールズ") << QString();
    QTest::newRow("coat colour") << 2 << QStringLiteral("iro.txt")
                                 << QStringLiteral("ブラック＆タン・ホワイト・トライカラー")
                                 << QStringLiteral(
                                        "毛色は全角15文字（半角30文字）までです。短くして登録してください。");
    QTest::newRow("staff") << 3 << QStringLiteral("tokucyou.txt") << QStringLiteral("あ").repeated(16)
                           << QStringLiteral(
                                  "担当者は全角15文字（半角30文字）までです。短くして登録してください。");
    QTest::newRow("litter size")
        << 5 << QStringLiteral("taicyou.txt") << QStringLiteral("とても多い（６頭）")
        << QStringLiteral("出産数は全角5文字（半角10文字）までです。短くして登録してください。");
    QTest::newRow("birthplace")
        << 6 << QStringLiteral("shoku.txt") << QStringLiteral("北海道札幌市中央区大通")
        << QStringLiteral("出生地は全角10文字（半角20文字）までです。短くして登録してください。");
    QTest::newRow("medication names go into a longer line")
        << 4 << QStringLiteral("kusuri.txt") << QStringLiteral("あ").repeated(16) << QString();
}

// An item its chart field cannot hold is refused whole instead of being stored and cut later.
void TestMasterData::itemLongerThanItsFieldIsRefused()
{
    QFETCH(int, group);
    QFETCH(QString, fileName);
    QFETCH(QString, item);
    QFETCH(QString, message);
    openFromStartScreen();
    registerText(group, item);
    if (message.isEmpty()) {
        QVERIFY(f->messages.asked.isEmpty());
        QCOMPARE(entries(group), QStringList{item});
        QCOMPARE(readFileBytes(fileName), sjis(item) + "\r\n");
    } else {
        QCOMPARE(f->messages.asked.size(), 1);
        QCOMPARE(f->messages.asked.first().text, message);
        QCOMPARE(entries(group), QStringList());
        QCOMPARE(readFileBytes(fileName), QByteArray());
        QCOMPARE(input(group)->text(), item);
    }
}

void TestMasterData::registerTakesAnyTextButTheEmptyOne()
{
    openFromStartScreen();
    QTest::mouseClick(registerButton(3), Qt::LeftButton);
    QCOMPARE(list(3)->count(), 0);
    QCOMPARE(QFileInfo(QStringLiteral("tokucyou.txt")).size(), 0);

    registerText(3, QStringLiteral("   "));
    registerText(3, QStringLiteral(" Aka "));
    registerText(3, QStringLiteral(" Aka "));
    QCOMPARE(entries(3), (QStringList{"   ", " Aka ", " Aka "}));
    QCOMPARE(readFileBytes(QStringLiteral("tokucyou.txt")), lines({"   ", " Aka ", " Aka "}));

    // Enter in the box registers its item, like the register button, and does not close the screen.
    QTest::keyClicks(input(3), QStringLiteral("Kuro"));
    QTest::keyClick(input(3), Qt::Key_Return);
    QTest::keyClick(input(3), Qt::Key_Escape);
    QCOMPARE(list(3)->count(), 4);
    QCOMPARE(readFileBytes(QStringLiteral("tokucyou.txt")), lines({"   ", " Aka ", " Aka ", "Kuro"}));
    QVERIFY(f->window(QStringLiteral("Form4"))->isVisible());
    QVERIFY(f->messages.asked.isEmpty());

    // Enter on the focused register button clicks it, as Space does.
    input(3)->setText(QStringLiteral("Shiro"));
    registerButton(3)->setFocus();
    QTest::keyClick(registerButton(3), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(readFileBytes(QStringLiteral("tokucyou.txt")),
             lines({"   ", " Aka ", " Aka ", "Kuro", "Shiro"}));
}

void TestMasterData::deleteNeedsASelectionAndRewritesOnlyItsOwnFile()
{
    const QByteArray seeded = lines({"Kuro", "Aka", "Aka", "Shiro"});
    for (const QString& name : PickListNames)
        writeFileBytes(name, seeded);
    openFromStartScreen();
    QCOMPARE(entries(2), (QStringList{"Aka", "Aka", "Kuro", "Shiro"}));
    QCOMPARE(entries(8), (QStringList{"Kuro", "Aka", "Aka", "Shiro"}));

    QTest::mouseClick(deleteButton(8), Qt::LeftButton);
    QCOMPARE(list(8)->count(), 4);

    list(8)->setCurrentRow(1);
    QTest::mouseClick(deleteButton(8), Qt::LeftButton);
    QTest::mouseClick(deleteButton(8), Qt::LeftButton);
    QCOMPARE(entries(8), (QStringList{"Kuro", "Aka", "Shiro"}));
    QList<QByteArray> expected(9, seeded);
    expected[7] = lines({"Kuro", "Aka", "Shiro"});
    QCOMPARE(allFiles(), expected);

    // A sorted group's file comes out in the list's order.
    list(2)->setCurrentRow(3);
    QTest::mouseClick(deleteButton(2), Qt::LeftButton);
    expected[1] = lines({"Aka", "Aka", "Kuro"});
    QCOMPARE(allFiles(), expected);
    QVERIFY(f->messages.asked.isEmpty());
}

void TestMasterData::deletingTheOnlyEntryLeavesAnEmptyFile()
{
    openFromStartScreen();
    registerText(9, QStringLiteral("Kuro"));
    list(9)->setCurrentRow(0);
    QTest::mouseClick(deleteButton(9), Qt::LeftButton);
    QCOMPARE(list(9)->count(), 0);
    QVERIFY(QFileInfo(QStringLiteral("hoka2.txt")).isFile());
    QCOMPARE(QFileInfo(QStringLiteral("hoka2.txt")).size(), 0);
}

void TestMasterData::japaneseItemsAreShiftJisAndCollatedByReading()
{
    writeFileBytes(QStringLiteral("kusuri.txt"), sjis(QStringLiteral("さくら\r\nあお\r\n")));
    openFromStartScreen();
    registerText(4, QStringLiteral("カキ"));
    registerText(4, QStringLiteral("①犬"));
    // By reading, not by code: katakana カ sorts between hiragana あ and さ.
    QCOMPARE(entries(4), (QStringList{"①犬", "あお", "カキ", "さくら"}));
    QCOMPARE(readFileBytes(QStringLiteral("kusuri.txt")),
             sjis(QStringLiteral("さくら\r\nあお\r\nカキ\r\n①犬\r\n")));
    QCOMPARE(sjis(QStringLiteral("①")), QByteArray("\x87\x40"));

    list(4)->setCurrentRow(2);
    QTest::mouseClick(deleteButton(4), Qt::LeftButton);
    QCOMPARE(entries(4), (QStringList{"①犬", "あお", "さくら"}));
    QCOMPARE(readFileBytes(QStringLiteral("kusuri.txt")), sjis(QStringLiteral("①犬\r\nあお\r\nさくら\r\n")));
}

void TestMasterData::shopDetailsAreSavedByTheCloseBox()
{
    QWidget* form4 = openFromStartScreen();
    const QStringList typed = {QStringLiteral("ペットショップ空"), QStringLiteral("03-1234-5678"),
                               QStringLiteral("東京都千代田区1-2-3"), QStringLiteral("年中無休")};
    for (int box = 0; box < 4; ++box)
        type(input(10 + box), typed[box]);
    QVERIFY(form4->close());
    QTRY_VERIFY(!f->window(QStringLiteral("Form4")));
    for (int key = 0; key < 4; ++key)
        QCOMPARE(ShopSettings::get(ShopSettings::Keys[key]), typed[key]);
    // The close box shows nothing else, so the program ends.
    QTRY_COMPARE(f->exits, 1);

    f->program->registry().show(ScreenName::Form4);
    for (int box = 0; box < 4; ++box)
        QCOMPARE(input(10 + box)->text(), typed[box]);

    input(11)->clear();
    QVERIFY(f->program->registry().unload(ScreenName::Form4));
    const QSettings settings(ShopSettings::fileName(), QSettings::IniFormat);
    QVERIFY(settings.contains(QStringLiteral("mysave1/myd2")));
    QCOMPARE(settings.value(QStringLiteral("mysave1/myd2")).toString(), QString());
    QCOMPARE(ShopSettings::get(QStringLiteral("myd1")), typed[0]);
}

void TestMasterData::okReturnsToTheStartScreen()
{
    openFromStartScreen();
    type(input(10), QStringLiteral("ソラニカ"));
    QTest::mouseClick(button(QStringLiteral("Command19")), Qt::LeftButton);
    QTRY_VERIFY(!f->window(QStringLiteral("Form4")));
    QCOMPARE(f->visibleWindowNames(), QStringList{QStringLiteral("Form1")});
    QCOMPARE(ShopSettings::get(QStringLiteral("myd1")), QStringLiteral("ソラニカ"));
    QTest::qWait(20);
    QCOMPARE(f->exits, 0);
}

void TestMasterData::okReturnsToTheStartScreenAlsoWhenOpenedFromTheChart()
{
    f->start();
    QTest::mouseClick(f->control<QPushButton>(QStringLiteral("Form1"), QStringLiteral("Command1")),
                      Qt::LeftButton);
    QTRY_COMPARE(f->visibleWindowNames(), QStringList{QStringLiteral("Form2")});
    QTest::mouseClick(f->control<QPushButton>(QStringLiteral("Form2"), QStringLiteral("Command2")),
                      Qt::LeftButton);
    QTRY_COMPARE(f->visibleWindowNames(), QStringList{QStringLiteral("Form4")});
    QVERIFY(!f->program->registry().loaded(ScreenName::Form2));

    type(input(10), QStringLiteral("ソラニカ堂"));
    QTest::mouseClick(button(QStringLiteral("Command19")), Qt::LeftButton);
    QTRY_COMPARE(f->visibleWindowNames(), QStringList{QStringLiteral("Form1")});

    // The chart loads afresh on record 1 and shows the shop line just saved.
    QTest::mouseClick(f->control<QPushButton>(QStringLiteral("Form1"), QStringLiteral("Command1")),
                      Qt::LeftButton);
    QTRY_COMPARE(f->visibleWindowNames(), QStringList{QStringLiteral("Form2")});
    QCOMPARE(f->control<QLineEdit>(QStringLiteral("Form2"), QStringLiteral("Text1"))->text(),
             QStringLiteral("1"));
    QCOMPARE(f->control<QLabel>(QStringLiteral("Form2"), QStringLiteral("Label21"))->text(),
             QStringLiteral("ソラニカ堂"));
    QTest::qWait(20);
    QCOMPARE(f->exits, 0);
}

void TestMasterData::unwritableFileLeavesListAndFileAsTheyWere()
{
    writeFileBytes(QStringLiteral("hoka1.txt"), lines({"Kuro", "Aka"}));
    openFromStartScreen();

    {
        // The file cannot grow: the rewrite is written beside it and never replaces it.
        FileSizeLimit limit(4);
        list(8)->setCurrentRow(0);
        QTest::mouseClick(deleteButton(8), Qt::LeftButton);
    }
    QCOMPARE(f->messages.asked.size(), 1);
    QVERIFY(f->messages.asked[0].text.contains(QStringLiteral("hoka1.txt")));
    QCOMPARE(f->messages.asked[0].title, QStringLiteral("ソラニカ"));
    QCOMPARE(entries(8), (QStringList{"Kuro", "Aka"}));
    QCOMPARE(readFileBytes(QStringLiteral("hoka1.txt")), lines({"Kuro", "Aka"}));
    // No half-written copy is left beside the lists.
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), PickListNames.size());

    {
        FileSizeLimit limit(QFileInfo(QStringLiteral("hoka1.txt")).size());
        registerText(8, QStringLiteral("Shiro"));
    }
    QCOMPARE(f->messages.asked.size(), 2);
    QVERIFY(f->messages.asked[1].text.contains(QStringLiteral("hoka1.txt")));
    QCOMPARE(entries(8), (QStringList{"Kuro", "Aka"}));
    QCOMPARE(readFileBytes(QStringLiteral("hoka1.txt")), lines({"Kuro", "Aka"}));
    QCOMPARE(input(8)->text(), QStringLiteral("Shiro"));

    // A file taken away and replaced by a folder while the screen is open.
    QVERIFY(QFile::remove(QStringLiteral("hoka1.txt")));
    QVERIFY(QDir().mkdir(QStringLiteral("hoka1.txt")));
    list(8)->setCurrentRow(1);
    QTest::mouseClick(deleteButton(8), Qt::LeftButton);
    QCOMPARE(f->messages.asked.size(), 3);
    QVERIFY(f->messages.asked[2].text.contains(QStringLiteral("hoka1.txt")));
    QCOMPARE(entries(8), (QStringList{"Kuro", "Aka"}));
    QVERIFY(QFileInfo(QStringLiteral("hoka1.txt")).isDir());

    // Once the file is back, the same delete goes through.
    QVERIFY(QDir().rmdir(QStringLiteral("hoka1.txt")));
    writeFileBytes(QStringLiteral("hoka1.txt"), lines({"Kuro", "Aka"}));
    QTest::mouseClick(deleteButton(8), Qt::LeftButton);
    QCOMPARE(entries(8), QStringList{"Kuro"});
    QCOMPARE(readFileBytes(QStringLiteral("hoka1.txt")), lines({"Kuro"}));
}

void TestMasterData::unreadableFileKeepsTheScreenFromOpening()
{
    QVERIFY(QDir().mkdir(QStringLiteral("unti.txt")));
    openFromStartScreen();
    QVERIFY(!f->window(QStringLiteral("Form4")));
    QCOMPARE(f->messages.asked.size(), 1);
    QVERIFY(f->messages.asked[0].text.contains(QStringLiteral("unti.txt")));
    // The files before it in the order were created; nothing after it was touched.
    QVERIFY(QFileInfo::exists(QStringLiteral("shoku.txt")));
    QVERIFY(!QFileInfo::exists(QStringLiteral("hoka1.txt")));
}

void TestMasterData::unsavableShopDetailsKeepTheScreenOpen()
{
    QWidget* form4 = openFromStartScreen();
    type(input(12), QStringLiteral("大阪市"));
    // The settings store's file is taken by a folder, so it cannot be written.
    const QString store = f->path(Sandbox::settingsFile());
    QVERIFY(QDir().mkpath(store));

    // "OK" keeps the typed text and the screen.
    QTest::mouseClick(button(QStringLiteral("Command19")), Qt::LeftButton);
    QCOMPARE(f->messages.asked.size(), 1);
    // The close box asks whether to give the typing up; Cancel stays.
    f->messages.setNextAnswer(MessageBoxes::Answer::Ok);
    f->messages.setNextAnswer(MessageBoxes::Answer::Cancel);
    QVERIFY(!form4->close());
    QCOMPARE(f->messages.asked.size(), 3);
    QCOMPARE(f->messages.asked[2].text,
             QStringLiteral("保存できませんでした。入力した内容を破棄して閉じますか？"));
    QVERIFY(f->messages.asked[2].defaultAnswer == MessageBoxes::Answer::Cancel);
    QTest::qWait(20);
    QCOMPARE(f->visibleWindowNames(), QStringList{QStringLiteral("Form4")});
    QCOMPARE(input(12)->text(), QStringLiteral("大阪市"));
    QCOMPARE(f->exits, 0);

    QVERIFY(QDir().rmdir(store));
    QTest::mouseClick(button(QStringLiteral("Command19")), Qt::LeftButton);
    QTRY_COMPARE(f->visibleWindowNames(), QStringList{QStringLiteral("Form1")});
    QCOMPARE(ShopSettings::get(QStringLiteral("myd3")), QStringLiteral("大阪市"));
}

void TestMasterData::closeBoxGivesUpShopDetailsThatCannotBeSaved()
{
    QWidget* form4 = openFromStartScreen();
    type(input(12), QStringLiteral("大阪市"));
    QVERIFY(QDir().mkpath(f->path(Sandbox::settingsFile())));
    // OK to the failure, OK to giving up: the window goes, and with it the last window of the program.
    QVERIFY(form4->close());
    QCOMPARE(f->messages.asked.size(), 2);
    QTRY_VERIFY(!f->window(QStringLiteral("Form4")));
    QTRY_COMPARE(f->exits, 1);
}

QTEST_MAIN(TestMasterData)
#include "test_masterdata.moc"
