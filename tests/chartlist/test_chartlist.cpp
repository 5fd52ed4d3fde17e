#include "chartlist/ChartListFilter.h"
#include "chartlist/ChartListModel.h"
#include "chartlist/ChartRows.h"
#include "store/PetRecord.h"
#include "store/Csv.h"
#include "store/RecordFile.h"
#include "support/CsvReader.h"
#include "support/DialogDriver.h"
#include "support/PdfText.h"
#include "support/ProgramFixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
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
    PetRecord record{};
    record.BirthYear = chart.year;
    record.BirthMonth = 4;
    record.BirthDay = 15;
    setText(record.Kind, chart.kind);
    setText(record.Sex, chart.sex);
    setText(record.CoatColour, QStringLiteral("白"));
    setText(record.PurchaseDate, chart.purchaseDate);
    setText(record.Supplier, chart.supplier);
    setText(record.PurchaseCost, chart.cost);
    setText(record.SaleDate, chart.saleDate);
    return QByteArray(reinterpret_cast<const char*>(&record), RecordLength);
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
    void failedCsvWriteLeavesNoFile();
    void chartAsPdf();

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
    QCOMPARE(fileItems, (QStringList{"actChartList", "actSavePdf", "actExportCsv", "actBackup", "actRestore",
                                     "-", "actRecordBook", "actYearlyReport", "-", "actQuit"}));
    QCOMPARE(action("actChartList")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
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
    action("actAbout")->trigger();
    QVERIFY(f->messages.asked.last().text.contains(QStringLiteral("1.00.0002")));
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
    QCOMPARE(rows[0], chartColumnNames());
    QCOMPARE(rows[3][ChartRow::Supplier], QStringLiteral("犬舎\"大空\", 東京"));
    QCOMPARE(rows[2][ChartRow::PurchaseCost], QStringLiteral("５００００円"));

    // Line breaks inside a value survive too.
    const QByteArray table = Csv::document({{"a", "b"}, {"一行目\r\n二行目", "x"}});
    QCOMPARE(readCsv(QString::fromUtf8(table.mid(3)))[1][0], QStringLiteral("一行目\r\n二行目"));
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

QTEST_MAIN(TestChartList)
#include "test_chartlist.moc"
