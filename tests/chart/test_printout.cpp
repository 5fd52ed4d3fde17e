#include "chart/ChartPrintout.h"
#include "store/Failure.h"
#include "store/PetRecord.h"
#include "store/ShopSettings.h"
#include "support/FileSizeLimit.h"
#include "support/PdfText.h"
#include "support/ProgramFixture.h"
#include "support/RealBoxes.h"
#include "support/ScriptedMessageBoxes.h"
#include "widgets/Printer.h"

#include <QCheckBox>
#include <QHash>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

// The chart screen's fixed captions, as a lookup for the line builder.
QHash<QString, QString> captions()
{
    return {{"Label17", "種類"},         {"Label18", "性別"},         {"Label19", "毛色"},
            {"Label20", "担当者"},       {"Label36", "出産数"},       {"Label38", "出生地"},
            {"Label37", "出生時Ｋｇ）"}, {"Label39", "現在（Ｋｇ）"}, {"Label26", "記録、メモ"},
            {"Label8", "投薬履歴"},      {"Label27", "仕入日"},       {"Label28", "仕入先"},
            {"Label29", "仕入原価"},     {"Label30", "販売予定価格"}, {"Label31", "販売日"}};
}

// The short printout of an all-zero chart with no shop details, written out line by line.
const QStringList AllZeroChart{
    "",
    "",
    "       ----------------　　2026/12/07 9:05:03   作成 ソラニカ-------------",
    "",
    "",
    "     ☆  種類     ",
    "",
    "     ☆  性別     ",
    "",
    "     ☆  毛色     ",
    "",
    "     ☆  生年月日     0 年0 月0 日生まれ",
    "",
    "     ☆  出産数     ",
    "",
    "     ☆  出生地     ",
    "",
    "     ☆  出生時Ｋｇ）     0 Kg",
    "",
    "     ☆  現在（Ｋｇ）     0 Kg",
    "",
    "      ☆ 担当者     ",
    "",
    "",
    "     ☆=========記録、メモ=========☆",
    "",
    "     ",
    "     ",
    "     ",
    "     ",
    "     ",
    "     ",
    "",
    "",
    "     ☆=========投薬履歴=========☆",
    "",
    "     ",
    "     ",
    "     ",
    "     ",
    "     ",
    "",
    "",
    "",
    "     ----------------   ----------------",
    "     ",
    "     ",
    "",
};

} // namespace

// The chart printout: its lines, the confirmation, the printer, and the same painting into a PDF.
class TestPrintout : public QObject
{
    Q_OBJECT
private slots:
    void init() { f = std::make_unique<ProgramFixture>(); }
    void cleanup() { f.reset(); }

    void allZeroChartThroughTheScreen();
    void fullChartLongForm();
    void birthDateAndEmptyShopName();
    void tradingValuesAsTypedRightAfterASave();
    void realConfirmationCancelAndOk();
    void printerFailuresLeaveTheChartAsItWas();
    void paintedIntoAPdf();
    void fitsThePrintableArea_data();
    void fitsThePrintableArea();

private:
    bool openChart();
    QWidget* chart() const { return f->window("Form2"); }
    QPushButton* button(const QString& name) const { return f->control<QPushButton>("Form2", name); }

    std::unique_ptr<ProgramFixture> f;
};

bool TestPrintout::openChart()
{
    f->start();
    QTest::mouseClick(f->control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
    return chart() && QTest::qWaitForWindowActive(chart());
}

void TestPrintout::allZeroChartThroughTheScreen()
{
    QVERIFY(openChart());
    QTest::mouseClick(button("Command3"), Qt::LeftButton);
    QCOMPARE(f->messages.asked.size(), 1);
    const ScriptedMessageBoxes::Asked asked = f->messages.asked.first();
    QCOMPARE(asked.text, QStringLiteral("プリントしますか？"));
    QCOMPARE(asked.title, QStringLiteral("印刷確認"));
    QVERIFY(asked.buttons == MessageBoxes::Buttons::OkCancel);
    QVERIFY(asked.icon == MessageBoxes::Icon::None);
    QVERIFY(asked.defaultAnswer == MessageBoxes::Answer::Ok);
    QCOMPARE(f->printer.documents.size(), 1);
    QCOMPARE(f->printer.documents.first().lines, AllZeroChart);

    // The trading section adds eight lines, its frame and headings there even when the boxes are empty.
    f->control<QCheckBox>("Form2", "Check1")->setChecked(true);
    QTest::mouseClick(button("Command3"), Qt::LeftButton);
    const QStringList longForm = f->printer.documents.last().lines;
    QCOMPARE(longForm.size(), 56);
    QCOMPARE(longForm.mid(0, 43), AllZeroChart.mid(0, 43));
    QCOMPARE(longForm.mid(43, 6),
             (QStringList{QString(50, u'='), "   　　　  仕入日     ", "    　　　 仕入先     ",
                          "    　　 仕入原価     ", "     販売予定価格     ", "    　　　 販売日     "}));
    QCOMPARE(longForm.mid(49), (QStringList{"", "", ""} + AllZeroChart.mid(44)));
}

void TestPrintout::fullChartLongForm()
{
    QHash<QString, QString> shown = captions();
    const QString longKind = QStringLiteral("ミニチュアダックスフンド（ロング）");
    shown.insert({{"Label21", "ペットショップ空"},
                  {"Label22", "03-1234-5678"},
                  {"Label23", "東京都千代田区丸の内一丁目二番三号　空ビル一階"},
                  {"Label24", "毎週水曜定休   "},
                  {"Label2", longKind},
                  {"Label3", "メス      "},
                  {"Label4", "ブラック＆タン"},
                  {"Label5", "山田" + QString(26, u' ')},
                  {"Label1", "2024"},
                  {"Label6", "11"},
                  {"Label7", "3"},
                  {"Label32", "5         "},
                  {"Label33", "関東地方" + QString(12, u' ')},
                  {"Label34", "0.25"},
                  {"Label35", "3.5"},
                  {"Text2", "よく食べる、よく眠る。散歩が好き。"},
                  {"Text12", "最後の行"},
                  {"Label9", "2024年12月1日   混合ワクチン   済み"},
                  {"Label13", "2025年1月5日   狂犬病   済み"},
                  {"Text3", "2024/12/20"},
                  {"Text4", "山田ブリーダー"},
                  {"Text5", "50,000円"},
                  {"Text6", "¥128,000"},
                  {"Text7", ""}});
    const QStringList lines = chartPrintoutLines([&](const QString& name) { return shown.value(name); }, true,
                                                 "2026/12/07 19:45:00");
    QCOMPARE(lines.size(), 56);
    QCOMPARE(lines[2],
             "       ----------------ペットショップ空　　2026/12/07 19:45:00   作成 ソラニカ-------------");
    QCOMPARE(lines[5], "     ☆  種類     " + longKind);
    QCOMPARE(lines[7], "     ☆  性別     メス      ");
    QCOMPARE(lines[11], "     ☆  生年月日     2024 年11 月3 日生まれ");
    QCOMPARE(lines[15], "     ☆  出生地     関東地方" + QString(12, u' '));
    QCOMPARE(lines[17], "     ☆  出生時Ｋｇ）     0.25 Kg");
    QCOMPARE(lines[19], "     ☆  現在（Ｋｇ）     3.5 Kg");
    QCOMPARE(lines[21], "      ☆ 担当者     山田" + QString(26, u' '));
    QCOMPARE(lines[26], "     よく食べる、よく眠る。散歩が好き。");
    QCOMPARE(lines[31], "     最後の行");
    QCOMPARE(lines[36], "     2024年12月1日   混合ワクチン   済み");
    QCOMPARE(lines[40], "     2025年1月5日   狂犬病   済み");
    QCOMPARE(lines[44], "   　　　  仕入日     2024/12/20");
    QCOMPARE(lines[45], "    　　　 仕入先     山田ブリーダー");
    QCOMPARE(lines[46], "    　　 仕入原価     50,000円");
    QCOMPARE(lines[47], "     販売予定価格     ¥128,000");
    QCOMPARE(lines[48], "    　　　 販売日     ");
    QCOMPARE(lines[52], "     ----------------ペットショップ空   03-1234-5678----------------");
    QCOMPARE(lines[53], "     東京都千代田区丸の内一丁目二番三号　空ビル一階");
    QCOMPARE(lines[54], "     毎週水曜定休   ");
    QCOMPARE(lines[55], "");
}

void TestPrintout::birthDateAndEmptyShopName()
{
    QHash<QString, QString> shown = captions();
    shown.insert({{"Label1", "2003"}, {"Label6", "4"}, {"Label7", "15"}, {"Label22", "0120-000-000"}});
    const QStringList lines = chartPrintoutLines([&](const QString& name) { return shown.value(name); },
                                                 false, "2026/01/02 8:00:00");
    QCOMPARE(lines.size(), 48);
    QCOMPARE(lines[11], "     ☆  生年月日     2003 年4 月15 日生まれ");
    // Without a shop name the hyphen runs meet the pieces beside them.
    QCOMPARE(lines[2], "       ----------------　　2026/01/02 8:00:00   作成 ソラニカ-------------");
    QCOMPARE(lines[44], "     ----------------   0120-000-000----------------");
}

void TestPrintout::tradingValuesAsTypedRightAfterASave()
{
    writeFileBytes(QStringLiteral("detapetto.dt"), editorWrittenRecord(QStringLiteral("柴犬")));
    QVERIFY(openChart());
    QLineEdit* supplier = f->control<QLineEdit>("Form2", "Text4");
    QTest::mouseClick(supplier, Qt::LeftButton);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("山田"));
    QCoreApplication::sendEvent(supplier, &commit);
    // Printing waits for the save, as the other commands do.
    QVERIFY(!button("Command3")->isEnabled());
    QTest::mouseClick(button("Command7"), Qt::LeftButton);

    f->control<QCheckBox>("Form2", "Check1")->setChecked(true);
    QTest::mouseClick(button("Command3"), Qt::LeftButton);
    const QStringList lines = f->printer.documents.last().lines;
    QCOMPARE(lines[5], "     ☆  種類     柴犬" + QString(26, u' '));
    QCOMPARE(lines[44], "   　　　  仕入日     ");
    QCOMPARE(lines[45], "    　　　 仕入先     山田");
}

// Real boxes answered from a timer: each runs its own event loop, as it does for the user.
void TestPrintout::realConfirmationCancelAndOk()
{
    f.reset();
    f = std::make_unique<ProgramFixture>(ProgramFixture::Boxes::Real);
    QVERIFY(openChart());
    {
        RealBoxes boxes({QMessageBox::Cancel});
        QTest::mouseClick(button("Command3"), Qt::LeftButton);
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(boxes.seen.first().title, QStringLiteral("印刷確認"));
        QVERIFY(f->printer.documents.isEmpty());
    }
    RealBoxes boxes({QMessageBox::Ok});
    QTest::mouseClick(button("Command3"), Qt::LeftButton);
    QCOMPARE(f->printer.documents.size(), 1);
    QCOMPARE(f->printer.documents.first().lines, AllZeroChart);
    QVERIFY(chart()->isVisible());
}

void TestPrintout::printerFailuresLeaveTheChartAsItWas()
{
    // No default printer: the system printer says so before any job starts.
    SystemPrinter noPrinter([] { return QPrinterInfo(); });
    try {
        noPrinter.print(AllZeroChart, QStringLiteral("カルテ 1"));
        QFAIL("printed without a printer");
    } catch (const Failure& failure) {
        QCOMPARE(failure.description(), QStringLiteral("プリンタが見つかりません。"));
    }

    QVERIFY(openChart());
    f->printer.failure = QStringLiteral("プリンタが見つかりません。");
    QTest::mouseClick(button("Command3"), Qt::LeftButton);
    QCOMPARE(f->messages.asked.size(), 2);
    QCOMPARE(f->messages.asked.last().text, QStringLiteral("プリンタが見つかりません。"));
    QCOMPARE(f->messages.asked.last().title, QStringLiteral("ソラニカ"));
    QVERIFY(f->printer.documents.isEmpty());
    QVERIFY(chart()->isVisible());
    QCOMPARE(f->control<QLineEdit>("Form2", "Text1")->text(), QStringLiteral("1"));
}

void TestPrintout::paintedIntoAPdf()
{
    if (!canReadPdfText())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QHash<QString, QString> shown = captions();
    shown.insert({{"Label21", "ペットショップ空"}, {"Label2", "柴犬"}, {"Text3", "2024/12/20"}});
    const QStringList lines = chartPrintoutLines([&](const QString& name) { return shown.value(name); }, true,
                                                 "2026/12/07 9:05:03");
    const QString path = f->path(QStringLiteral("chart.pdf"));
    writeLinesToPdf(lines, path, QStringLiteral("カルテ 1"));

    // Every non-empty line comes back in order, Japanese text included.
    const QStringList printed = pdfTextLines(path);
    QStringList expected;
    for (const QString& line : lines)
        if (!line.trimmed().isEmpty())
            expected.append(line.simplified());
    QCOMPARE(printed, expected);

    // A folder in the file's place: a clear failure, no crash.
    QVERIFY(QDir().mkdir(f->path(QStringLiteral("taken.pdf"))));
    QVERIFY_THROWS_EXCEPTION(Failure, writeLinesToPdf(lines, f->path(QStringLiteral("taken.pdf")), "x"));

    // A full disk: a clear failure, and no cut-off file left that looks like a PDF.
    {
        FileSizeLimit fullDisk(4096);
        QVERIFY_THROWS_EXCEPTION(Failure, writeLinesToPdf(lines, f->path(QStringLiteral("full.pdf")), "x"));
    }
    QVERIFY(!QFileInfo::exists(f->path(QStringLiteral("full.pdf"))));
}

void TestPrintout::fitsThePrintableArea_data()
{
    QTest::addColumn<QString>("shopName");
    QTest::addColumn<bool>("smaller");
    QTest::addColumn<bool>("wrapped");
    QTest::newRow("short name, 12 points") << "空" << false << false;
    QTest::newRow("longer name, the page set smaller") << "ペットショップ空" << true << false;
    QTest::newRow("long name, smallest size and wrapped")
        << "ペットショップ ワンダフルライフ 世田谷桜新町本店" << true << true;
}

// A shop's long name makes line 3 and the footer the widest lines. Every word must lie inside the
// sheet's 15 mm margins, nothing may be lost or reordered, and the page is set smaller before any
// line is wrapped.
void TestPrintout::fitsThePrintableArea()
{
    if (!canReadPdfText())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QFETCH(QString, shopName);
    QFETCH(bool, smaller);
    QFETCH(bool, wrapped);
    const auto printed = [&](const QString& name, const QString& file) {
        QHash<QString, QString> shown = captions();
        shown.insert({{"Label21", name}, {"Label22", "03-1234-5678"}, {"Label2", "キャバリア"}});
        const QStringList lines = chartPrintoutLines(
            [&](const QString& control) { return shown.value(control); }, true, "2026/12/07 18:28:03");
        writeLinesToPdf(lines, f->path(file), QStringLiteral("カルテ 1"));
        return lines;
    };
    const QStringList lines = printed(shopName, QStringLiteral("chart.pdf"));
    const QList<PdfWord> words = pdfWords(f->path(QStringLiteral("chart.pdf")));
    QVERIFY(!words.isEmpty());

    const qreal margin = 15 / 25.4 * 72;
    for (const PdfWord& word : words)
        QVERIFY2(
            word.box.left() >= margin - 0.5 && word.box.right() <= word.pageSize.width() - margin + 0.5,
            qPrintable(
                QStringLiteral("%1 at %2..%3").arg(word.text).arg(word.box.left()).arg(word.box.right())));
    // Every character comes back, in the order of the lines.
    static const QRegularExpression blanks(QStringLiteral("[\\s\\x{3000}]"));
    QCOMPARE(pdfTextAsDrawn(f->path(QStringLiteral("chart.pdf"))).remove(blanks),
             lines.join(QString()).remove(blanks));

    // The star lines' height tells the size, against the same chart with a short name at 12 points.
    printed(QStringLiteral("空"), QStringLiteral("reference.pdf"));
    const auto starHeight = [](const QList<PdfWord>& all) {
        for (const PdfWord& word : all)
            if (word.text == QStringLiteral("☆"))
                return word.box.height();
        return qreal(0);
    };
    const qreal reference = starHeight(pdfWords(f->path(QStringLiteral("reference.pdf"))));
    const qreal height = starHeight(words);
    QVERIFY(reference > 0);
    QCOMPARE(height < reference * 0.99, smaller);
    QVERIFY(height >= reference * 0.75 * 0.99);
    if (wrapped)
        QVERIFY(qAbs(height - reference * 0.75) < 0.3);

    const auto textLines = [](const QStringList& all) {
        return std::count_if(all.begin(), all.end(),
                             [](const QString& line) { return !line.trimmed().isEmpty(); });
    };
    QCOMPARE(pdfTextLines(f->path(QStringLiteral("chart.pdf"))).size() > textLines(lines), wrapped);
}

QTEST_MAIN(TestPrintout)
#include "test_printout.moc"
