#include "app/Application.h"
#include "store/AnimalOutcomes.h"
#include "store/PetRecord.h"
#include "store/RecordFile.h"
#include "support/DialogDriver.h"
#include "support/ProgramFixture.h"
#include "support/RealBoxes.h"
#include "support/SampleCharts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

namespace {

enum class Close { Esc, CloseBox, Cancel };

const QString Question = QStringLiteral("入力した内容を破棄しますか？");

QByteArray dogChart()
{
    return SampleChart{
        .kind = QStringLiteral("柴犬"), .born = QDate(2026, 6, 1), .purchased = QStringLiteral("2026/8/1")}
        .bytes();
}

// The input a row changes: a box, a combo, a text area or the first figure of a table.
QString valueOf(QWidget* input)
{
    if (auto* box = qobject_cast<QLineEdit*>(input))
        return box->text();
    if (auto* combo = qobject_cast<QComboBox*>(input))
        return combo->currentText();
    if (auto* area = qobject_cast<QPlainTextEdit*>(input))
        return area->toPlainText();
    auto* table = qobject_cast<QTableWidget*>(input);
    return table ? table->item(0, 1)->text() : QStringLiteral("(no such input)");
}

void change(QWidget* input, const QString& typed)
{
    input->setFocus();
    if (auto* box = qobject_cast<QLineEdit*>(input)) {
        box->selectAll();
        box->insert(typed);
    } else if (auto* combo = qobject_cast<QComboBox*>(input)) {
        combo->setCurrentText(typed);
    } else if (auto* area = qobject_cast<QPlainTextEdit*>(input)) {
        area->insertPlainText(typed);
    } else if (auto* table = qobject_cast<QTableWidget*>(input)) {
        table->item(0, 1)->setText(typed);
    }
}

void close(QDialog* dialog, QWidget* input, Close how)
{
    switch (how) {
    case Close::Esc:
        QTest::keyClick(input, Qt::Key_Escape);
        break;
    case Close::CloseBox:
        dialog->close();
        break;
    case Close::Cancel:
        dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Cancel)->click();
        break;
    }
}

} // namespace

// A dialog that takes typing asks before a close drops what was typed.
class TestDiscard : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }

    void closeWithChangesAsks_data();
    void closeWithChangesAsks();
    void realBoxesAskWithNoTheDefault_data();
    void realBoxesAskWithNoTheDefault();
    void pageShownNoLongerStillCounts();

private:
    void startWith(ProgramFixture::Boxes boxes, bool sold);
    void open(const QString& route);
    QAction* action(const QString& name) const { return f->window("Form2")->findChild<QAction*>(name); }

    std::unique_ptr<ProgramFixture> f;
};

void TestDiscard::init()
{
    setUpApplication(); // Qt's Japanese button texts, as the program has them
}

void TestDiscard::startWith(ProgramFixture::Boxes boxes, bool sold)
{
    f = std::make_unique<ProgramFixture>(boxes);
    writeFileBytes("detapetto.dt", dogChart());
    writeFileBytes("syurui.txt", sjis(QStringLiteral("柴犬\r\n")));
    writeFileBytes("kusuri.txt", sjis(QStringLiteral("混合ワクチン\r\n")));
    if (sold) {
        RecordFile records;
        Sale sale;
        sale.soldOn = QDate(2026, 10, 21);
        sale.price = 250000;
        sale.buyerName = QStringLiteral("山田 花子");
        AnimalOutcomes().recordSale(records, 1, sale, Species::Dog);
    }
    f->start();
    QTest::mouseClick(f->control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowActive(f->window("Form2")));
}

// A menu action of the chart screen, or a button of the master-data screen.
void TestDiscard::open(const QString& route)
{
    if (route == QStringLiteral("careIntervals")) {
        if (!f->window("Form4") || !f->window("Form4")->isVisible()) {
            QTest::mouseClick(f->control<QPushButton>("Form2", "Command2"), Qt::LeftButton);
            QVERIFY(QTest::qWaitForWindowActive(f->window("Form4")));
        }
        QTest::mouseClick(f->control<QPushButton>("Form4", "careIntervals"), Qt::LeftButton);
        return;
    }
    action(route)->trigger();
}

void TestDiscard::closeWithChangesAsks_data()
{
    QTest::addColumn<QString>("route");
    QTest::addColumn<bool>("sold");
    QTest::addColumn<QString>("dialogName");
    QTest::addColumn<QString>("inputName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("how");
    QTest::newRow("販売する Esc") << "actSell" << false << "SellDialog"
                                  << "price"
                                  << "298000" << int(Close::Esc);
    QTest::newRow("販売する ×") << "actSell" << false << "SellDialog"
                                << "buyerName"
                                << "山田" << int(Close::CloseBox);
    QTest::newRow("死亡・譲渡 Esc") << "actLeave" << false << "LeaveDialog"
                                    << "detail"
                                    << "心不全" << int(Close::Esc);
    QTest::newRow("返品 キャンセル") << "actReturn" << true << "ReturnDialog"
                                     << "reason"
                                     << "体調不良" << int(Close::Cancel);
    QTest::newRow("事業者情報 ×") << "actDealerInfo" << false << "DealerInfo"
                                  << "registrationNumber"
                                  << "第123456号" << int(Close::CloseBox);
    QTest::newRow("品種情報 Esc") << "actBreedInfo" << false << "BreedInfo"
                                  << "species"
                                  << "犬" << int(Close::Esc);
    QTest::newRow("販売情報 Esc") << "actSaleInfo" << false << "SaleInfo"
                                  << "microchip"
                                  << "392141000123456" << int(Close::Esc);
    QTest::newRow("販売情報 キャンセル") << "actSaleInfo" << false << "SaleInfo"
                                         << "hereditary"
                                         << "なし" << int(Close::Cancel);
    QTest::newRow("ケア間隔 Esc") << "careIntervals" << false << "CarePlan"
                                  << "carePlans"
                                  << "56" << int(Close::Esc);
    QTest::newRow("帳簿 Esc") << "actRecordBook" << false << "RecordBook"
                              << "from"
                              << "2026/1/1" << int(Close::Esc);
    QTest::newRow("帳簿 キャンセル") << "actRecordBook" << false << "RecordBook"
                                     << "to"
                                     << "2026/6/30" << int(Close::Cancel);
}

void TestDiscard::closeWithChangesAsks()
{
    QFETCH(QString, route);
    QFETCH(bool, sold);
    QFETCH(QString, dialogName);
    QFETCH(QString, inputName);
    QFETCH(QString, typed);
    QFETCH(int, how);
    startWith(ProgramFixture::Boxes::Scripted, sold);

    QString original;
    bool stayedWithTyping = false;
    bool closedOnYes = false;
    whenDialogShows([&](QDialog* dialog) {
        QCOMPARE(dialog->objectName(), dialogName);
        auto* input = dialog->findChild<QWidget*>(inputName);
        QVERIFY(input);
        original = valueOf(input);
        change(input, typed);
        QCOMPARE(valueOf(input), typed);

        f->messages.setNextAnswer(MessageBoxes::Answer::No);
        close(dialog, input, Close(how));
        QCOMPARE(f->messages.asked.size(), 1);
        QCOMPARE(f->messages.asked[0].text, Question);
        QCOMPARE(f->messages.asked[0].title, QStringLiteral("ソラニカ"));
        QCOMPARE(f->messages.asked[0].buttons, MessageBoxes::Buttons::YesNo);
        QCOMPARE(f->messages.asked[0].defaultAnswer, MessageBoxes::Answer::No);
        stayedWithTyping = dialog->isVisible() && valueOf(input) == typed;

        f->messages.setNextAnswer(MessageBoxes::Answer::Yes);
        close(dialog, input, Close(how));
        QCOMPARE(f->messages.asked.size(), 2);
        closedOnYes = !dialog->isVisible();
    });
    open(route);
    QVERIFY(stayedWithTyping);
    QVERIFY(closedOnYes);

    // Nothing was stored: opened again, the input holds what it held before; closed unchanged, no question.
    bool closedUnchanged = false;
    whenDialogShows([&](QDialog* dialog) {
        auto* input = dialog->findChild<QWidget*>(inputName);
        QCOMPARE(valueOf(input), original);
        close(dialog, input, Close(how));
        closedUnchanged = !dialog->isVisible();
    });
    open(route);
    QVERIFY(closedUnchanged);
    QCOMPARE(f->messages.asked.size(), 2);
}

void TestDiscard::realBoxesAskWithNoTheDefault_data()
{
    QTest::addColumn<QString>("route");
    QTest::addColumn<QString>("inputName");
    QTest::addColumn<int>("how");
    QTest::newRow("販売する ×") << "actSell"
                                << "buyerName" << int(Close::CloseBox);
    QTest::newRow("事業者情報 Esc") << "actDealerInfo"
                                    << "animalHandler" << int(Close::Esc);
}

// On real boxes, each running its own event loop: いいえ keeps the typing; はい closes.
void TestDiscard::realBoxesAskWithNoTheDefault()
{
    QFETCH(QString, route);
    QFETCH(QString, inputName);
    QFETCH(int, how);
    startWith(ProgramFixture::Boxes::Real, false);

    RealBoxes boxes({QMessageBox::No, QMessageBox::Yes});
    bool stayed = false;
    bool closed = false;
    whenDialogShows([&](QDialog* dialog) {
        auto* input = dialog->findChild<QWidget*>(inputName);
        change(input, QStringLiteral("佐藤"));
        close(dialog, input, Close(how));
        stayed = dialog->isVisible() && valueOf(input) == QStringLiteral("佐藤");
        close(dialog, input, Close(how));
        closed = !dialog->isVisible();
    });
    open(route);
    QVERIFY(stayed);
    QVERIFY(closed);
    QCOMPARE(boxes.seen.size(), 2);
    QCOMPARE(boxes.seen[0].text, Question);
    QCOMPARE(boxes.seen[0].buttons, (QStringList{QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)")}));
    QCOMPARE(boxes.seen[0].defaultButton, QStringLiteral("いいえ(&N)"));
}

// 事業者情報 keeps a page per species: looking at another page is no change, typing on 犬's page counts
// while 猫's page is shown.
void TestDiscard::pageShownNoLongerStillCounts()
{
    startWith(ProgramFixture::Boxes::Scripted, false);
    bool closedUnchanged = false;
    whenDialogShows([&](QDialog* dialog) {
        auto* species = dialog->findChild<QComboBox*>("defaultSpecies");
        species->setCurrentText(QStringLiteral("猫"));
        species->setCurrentText(QStringLiteral("犬"));
        dialog->close();
        closedUnchanged = !dialog->isVisible();
    });
    action("actDealerInfo")->trigger();
    QVERIFY(closedUnchanged);
    QCOMPARE(f->messages.asked.size(), 0);

    bool stayed = false;
    whenDialogShows([&](QDialog* dialog) {
        auto* species = dialog->findChild<QComboBox*>("defaultSpecies");
        change(dialog->findChild<QPlainTextEdit*>("item2"), QStringLiteral("よく吠えます"));
        species->setCurrentText(QStringLiteral("猫"));
        f->messages.setNextAnswer(MessageBoxes::Answer::No);
        dialog->close();
        stayed = dialog->isVisible();
    });
    action("actDealerInfo")->trigger();
    QVERIFY(stayed);
    QCOMPARE(f->messages.asked.size(), 1);
    QCOMPARE(f->messages.asked[0].text, Question);
}

QTEST_MAIN(TestDiscard)
#include "test_discard.moc"
