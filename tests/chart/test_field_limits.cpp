#include "support/ProgramFixture.h"
#include "widgets/FieldWidth.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// A box limited by its field's bytes says what it holds at the first keystroke it refuses.
class TestFieldLimits : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }

    void chartBoxTellsInTheStatusLine();
    void editorBoxTellsBesideIt();

private:
    std::unique_ptr<ProgramFixture> f;
};

void TestFieldLimits::init()
{
    f = std::make_unique<ProgramFixture>();
    writeFileBytes("detapetto.dt", editorWrittenRecord(QStringLiteral("柴犬")));
    for (const char* list :
         {"syurui.txt", "iro.txt", "tokucyou.txt", "kusuri.txt", "taicyou.txt", "shoku.txt"})
        writeFileBytes(QString::fromLatin1(list), sjis(QStringLiteral("柴犬\r\n")));
    f->start();
    QTest::mouseClick(f->control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowActive(f->window("Form2")));
}

void TestFieldLimits::chartBoxTellsInTheStatusLine()
{
    auto* supplier = f->control<QLineEdit>("Form2", "Text4");
    auto* status = f->control<QLabel>("Form2", "statusLine");
    supplier->setFocus();
    QTest::keyClicks(supplier, QString(30, QLatin1Char('a')));
    QCoreApplication::processEvents();
    QVERIFY(status->isHidden());
    QTest::keyClicks(supplier, QStringLiteral("bc"));
    QTRY_VERIFY(status->isVisible());
    QCOMPARE(status->text(), QStringLiteral("仕入先は全角 15 文字（30 バイト）までです。"));
    QCOMPARE(supplier->text(), QString(30, QLatin1Char('a')));
}

void TestFieldLimits::editorBoxTellsBesideIt()
{
    QTest::mouseClick(f->control<QPushButton>("Form2", "Command1"), Qt::LeftButton);
    QTRY_VERIFY(f->window("Form3") && f->window("Form3")->isVisible());
    auto* kind = f->control<QComboBox>("Form3", "Combo4");
    QSignalSpy told(qobject_cast<const FieldWidthValidator*>(kind->validator()),
                    &FieldWidthValidator::refused);
    kind->setFocus();
    kind->lineEdit()->selectAll();
    QTest::keyClicks(kind->lineEdit(), QString(33, QLatin1Char('x')));
    QTRY_COMPARE(told.size(), 1);
    QCOMPARE(told[0][0].toString(), QStringLiteral("種類は全角 15 文字（30 バイト）までです。"));
    QCOMPARE(kind->currentText(), QString(30, QLatin1Char('x')));
    // Told again once the box has had room again.
    QTest::keyClick(kind->lineEdit(), Qt::Key_Backspace);
    QTest::keyClicks(kind->lineEdit(), QStringLiteral("yz"));
    QTRY_COMPARE(told.size(), 2);
}

QTEST_MAIN(TestFieldLimits)
#include "test_field_limits.moc"
