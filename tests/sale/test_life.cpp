#include "overview/ShopFigures.h"
#include "sale/RecordBook.h"
#include "sale/ShopAnimals.h"
#include "sale/YearlyCount.h"
#include "store/AnimalOutcomes.h"
#include "store/DisplayText.h"
#include "store/PetRecord.h"
#include "store/RecordFile.h"
#include "store/SaleStore.h"
#include "support/DialogDriver.h"
#include "support/FailureText.h"
#include "support/ProgramFixture.h"
#include "support/SampleCharts.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <memory>

namespace {

// Every trading field is written, an empty one as spaces.
PetRecord chart(const QString& kind, const QDate& birth, const QString& purchased = {},
                const QString& saleDate = {}, const QString& supplier = {}, const QString& planned = {})
{
    return SampleChart{.kind = kind,
                       .born = birth,
                       .purchased = purchased,
                       .supplier = supplier,
                       .planned = planned,
                       .sold = saleDate}
        .record();
}

void writeCharts(const QList<PetRecord>& charts)
{
    QByteArray bytes;
    for (const PetRecord& record : charts)
        bytes += bytesOf(record);
    writeFileBytes(QStringLiteral("detapetto.dt"), bytes);
}

Sale saleOn(const QDate& day, qint64 price = 250000)
{
    Sale sale;
    sale.soldOn = day;
    sale.price = price;
    sale.buyerName = QStringLiteral("山田 花子");
    sale.buyerAddress = QStringLiteral("東京都");
    sale.buyerPhone = QStringLiteral("03-1234-5678");
    return sale;
}

QString saleDateOf(int number)
{
    return Sjis::shownText(recordBytes(QStringLiteral("detapetto.dt"), number).mid(934, 30)).trimmed();
}

enum class State { InStock, Sold, HandedOver, BackToSupplier, Died, BackFromBuyer };

// Brings chart 1 (a dog born 2026/6/1) into `state`, its departure on 2026/10/21.
void bringInto(State state, RecordFile& records, AnimalOutcomes& outcomes)
{
    const QDate day(2026, 10, 21);
    switch (state) {
    case State::InStock:
        break;
    case State::Sold:
        outcomes.recordSale(records, 1, saleOn(day), Species::Dog);
        break;
    case State::HandedOver:
        outcomes.recordLeaving(records, 1, {day, LeaveKind::HandedOver, QStringLiteral("田中")},
                               Species::Dog);
        break;
    case State::BackToSupplier:
        outcomes.recordLeaving(records, 1, {day, LeaveKind::Returned, {}}, Species::Dog);
        break;
    case State::Died:
        outcomes.recordLeaving(records, 1, {day, LeaveKind::Died, QStringLiteral("肺炎")}, Species::Dog);
        break;
    case State::BackFromBuyer:
        outcomes.recordSale(records, 1, saleOn(day), Species::Dog);
        outcomes.recordReturn(records, 1, day.addDays(5), QStringLiteral("体調"));
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(State)
Q_DECLARE_METATYPE(Species)
Q_DECLARE_METATYPE(LifeStep)

// The life of an animal in the shop: one departure, a buyer's return as a new stay, a 販売日 typed on
// the chart as a sale, deletion that keeps the record book whole, and the yearly report over them.
class TestLife : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void stepsFollowThePresentState_data();
    void stepsFollowThePresentState();
    void typedSaleDateIsASale_data();
    void typedSaleDateIsASale();
    void clearingATypedSaleAsksAndForgetsTheBuyer();
    void soldDogCannotDieOrBeSoldAgainOnTheScreens();
    void returnIsItsOwnStep();
    void typedSaleDatesOfEarlierVersionsAreAdoptedOnce();
    void unfinishedChangeIsUndoneAtStart();
    void yearlyReportOverAnAwkwardShop();
    void yearBoundaries_data();
    void yearBoundaries();
    void deletedAnimalKeepsItsLegalRow();
    void keepingPeriodEndsAfterFiveYears_data();
    void keepingPeriodEndsAfterFiveYears();
    void expiredRowsGoOnlyByTheRecordBooksStep();
    void version4RowsKeepOneLife();
    void recordBookPeriodEdgesAndGaps();
    void monthEndsAndSameDaySales();
    void individualBuyerKeepsNoRegistration();
    void speciesIsProposedForCommonNames_data();
    void speciesIsProposedForCommonNames();

private:
    void startProgram();
    QAction* action(const QString& name) const { return f->window("Form2")->findChild<QAction*>(name); }
    void typeSaleDateAndSave(const QString& text);

    std::unique_ptr<ProgramFixture> f;
};

void TestLife::init()
{
    f = std::make_unique<ProgramFixture>();
}

void TestLife::cleanup()
{
    f.reset();
}

void TestLife::startProgram()
{
    f->start();
    QTest::mouseClick(f->control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowActive(f->window("Form2")));
}

void TestLife::typeSaleDateAndSave(const QString& text)
{
    auto* box = f->control<QLineEdit>("Form2", "Text7");
    QTest::mouseClick(box, Qt::LeftButton);
    box->setText(text);
    QTest::mouseClick(f->control<QPushButton>("Form2", "Command7"), Qt::LeftButton);
}

void TestLife::stepsFollowThePresentState_data()
{
    QTest::addColumn<State>("state");
    QTest::addColumn<LifeStep>("step");
    QTest::addColumn<QString>("refusal");
    const QString sold = QStringLiteral("この動物は 2026/10/21 に販売済みです。");
    const QString handedOver = QStringLiteral("この動物は 2026/10/21 に譲渡・引渡し済みです。");
    const QString backToSupplier = QStringLiteral("この動物は 2026/10/21 に仕入先へ返品済みです。");
    const QString died = QStringLiteral("この動物は 2026/10/21 に死亡しています。");
    const QString notSold = QStringLiteral("この動物の販売は記録されていません。");
    const QString noSale = QStringLiteral("このカルテには販売が記録されていません。");
    const struct
    {
        const char* name;
        State state;
        QString sell, leave, giveBack, undo;
    } rows[] = {
        {"in stock", State::InStock, {}, {}, notSold, noSale},
        {"sold", State::Sold, sold, sold, {}, {}},
        {"handed over", State::HandedOver, handedOver, handedOver, handedOver, noSale},
        {"back to its supplier", State::BackToSupplier, backToSupplier, backToSupplier, backToSupplier,
         noSale},
        {"died", State::Died, died, died, died, noSale},
        {"brought back by its buyer", State::BackFromBuyer, {}, {}, notSold, noSale},
    };
    for (const auto& row : rows) {
        QTest::addRow("%s, sell", row.name) << row.state << LifeStep::Sell << row.sell;
        QTest::addRow("%s, die", row.name) << row.state << LifeStep::Leave << row.leave;
        QTest::addRow("%s, return", row.name) << row.state << LifeStep::Return << row.giveBack;
        QTest::addRow("%s, undo the sale", row.name) << row.state << LifeStep::UndoSale << row.undo;
    }
}

void TestLife::stepsFollowThePresentState()
{
    QFETCH(State, state);
    QFETCH(LifeStep, step);
    QFETCH(QString, refusal);
    writeCharts({chart(QStringLiteral("柴犬"), QDate(2026, 6, 1), QStringLiteral("2026/8/1"))});
    RecordFile records;
    AnimalOutcomes outcomes;
    bringInto(state, records, outcomes);
    const QByteArray fileBefore = readFileBytes(QStringLiteral("detapetto.dt"));
    const QList<AnimalOutcome> staysBefore = outcomes.outcomes();

    const QDate day(2026, 12, 1);
    const QString message = failureText([&] {
        switch (step) {
        case LifeStep::Sell:
            outcomes.recordSale(records, 1, saleOn(day), Species::Dog);
            break;
        case LifeStep::Leave:
            outcomes.recordLeaving(records, 1, {day, LeaveKind::Died, QStringLiteral("肺炎")}, Species::Dog);
            break;
        case LifeStep::Return:
            outcomes.recordReturn(records, 1, day, QStringLiteral("体調"));
            break;
        case LifeStep::UndoSale:
            outcomes.undoSale(records, 1);
            break;
        }
    });
    QCOMPARE(message, refusal);
    if (!refusal.isEmpty()) {
        QCOMPARE(readFileBytes(QStringLiteral("detapetto.dt")), fileBefore);
        QCOMPARE(outcomes.outcomes().size(), staysBefore.size());
        return;
    }
    const std::optional<AnimalOutcome> present = outcomes.outcome(1);
    switch (step) {
    case LifeStep::Sell:
        QCOMPARE(present->status(), QStringLiteral("販売済"));
        QCOMPARE(saleDateOf(1), QStringLiteral("2026/12/01"));
        break;
    case LifeStep::Leave:
        QCOMPARE(present->status(), QStringLiteral("死亡"));
        QVERIFY(!present->sale);
        break;
    case LifeStep::Return:
    case LifeStep::UndoSale:
        QVERIFY(!present || !present->hasLeft());
        QCOMPARE(saleDateOf(1), QString());
        break;
    }
}

void TestLife::typedSaleDateIsASale_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("chipRegistered");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<qint64>("price");
    const QString noChip =
        QStringLiteral("マイクロチップが登録されていない犬・猫は、「カルテ」→「販売する...」で"
                       "「チップなしの理由」を入力して販売してください。");
    // The dog was born 2026/10/20: 2026/12/8 is its 49th day, 2026/12/16 its 57th.
    QTest::newRow("a 49-day-old dog")
        << QStringLiteral("柴犬") << true << QStringLiteral("2026/12/8")
        << QStringList{QStringLiteral("販売日：生まれてから 56 日を経過していない犬は販売できません。"
                                      "販売できるのは 2026/12/16 からです。")}
        << QString() << qint64(-1);
    QTest::newRow("the dog's 57th day") << QStringLiteral("柴犬") << true << QStringLiteral("R8/12/16")
                                        << QStringList() << QStringLiteral("R8/12/16") << qint64(298000);
    QTest::newRow("an undecided kind is asked about")
        << QStringLiteral("豆柴") << true << QStringLiteral("2026/12/16")
        << QStringList{QStringLiteral(
               "品種「豆柴」の種別（犬・猫・その他）が未設定です。犬・猫として記録します。"
               "このまま販売を記録しますか？")}
        << QStringLiteral("2026/12/16") << qint64(298000);
    QTest::newRow("a chip number typed but not registered")
        << QStringLiteral("ポメラニアン") << false << QStringLiteral("2026/12/16") << QStringList{noChip}
        << QString() << qint64(-1);
    QTest::newRow("text that is not a date is no sale")
        << QStringLiteral("柴犬") << false << QStringLiteral("予約済") << QStringList()
        << QStringLiteral("予約済") << qint64(-1);
}

void TestLife::typedSaleDateIsASale()
{
    QFETCH(QString, kind);
    QFETCH(bool, chipRegistered);
    QFETCH(QString, typed);
    QFETCH(QStringList, asked);
    QFETCH(QString, stored);
    QFETCH(qint64, price);
    writeCharts({chart(kind, QDate(2026, 10, 20), QStringLiteral("2026/11/1"), {}, {},
                       QStringLiteral("２９８，０００円"))});
    AnimalOutcomes().saveSpecies(
        {{QStringLiteral("柴犬"), Species::Dog}, {QStringLiteral("ポメラニアン"), Species::Dog}});
    ChartSale chip = chipSale(QStringLiteral("392141000123456"));
    if (chipRegistered)
        chip.chipRegistered = QDate(2026, 11, 20);
    SaleStore().saveChartSale(1, chip);
    startProgram();
    f->messages.setNextAnswer(MessageBoxes::Answer::Ok);
    f->messages.setNextAnswer(MessageBoxes::Answer::Ok);
    typeSaleDateAndSave(typed);

    QStringList questions;
    for (const auto& one : f->messages.asked)
        questions.append(one.text);
    QCOMPARE(questions, asked);
    QCOMPARE(saleDateOf(1), stored);
    const std::optional<AnimalOutcome> present = AnimalOutcomes().outcome(1);
    if (price < 0) {
        QVERIFY(!present || !present->sale);
        if (stored.isEmpty()) {
            // Refused: the typed text stays in its box for another try, with the focus.
            QCOMPARE(f->control<QLineEdit>("Form2", "Text7")->text(), typed);
            QCOMPARE(f->window("Form2")->focusWidget()->objectName(), QStringLiteral("Text7"));
            QVERIFY(f->control<QPushButton>("Form2", "Command7")->isVisible());
        }
        return;
    }
    QCOMPARE(present->sale->soldOn, QDate(2026, 12, 16));
    QCOMPARE(present->sale->price, std::optional<qint64>(price));
    QVERIFY(present->sale->priceFromPlan);
    QCOMPARE(present->sale->buyerName, QString());
}

void TestLife::clearingATypedSaleAsksAndForgetsTheBuyer()
{
    writeCharts({chart(QStringLiteral("柴犬"), QDate(2026, 6, 1), QStringLiteral("2026/8/1"))});
    AnimalOutcomes().saveSpecies({{QStringLiteral("柴犬"), Species::Dog}});
    RecordFile records;
    AnimalOutcomes().recordSale(records, 1, saleOn(QDate(2026, 11, 3)), Species::Dog);
    QCOMPARE(SaleStore().chartSale(1).buyerName, QStringLiteral("山田 花子"));
    startProgram();

    f->messages.setNextAnswer(MessageBoxes::Answer::Cancel);
    typeSaleDateAndSave(QString());
    QCOMPARE(f->messages.asked.size(), 1);
    QCOMPARE(
        f->messages.asked[0].text,
        QStringLiteral("2026/11/3 に記録した販売を取り消し、カルテの販売日を空にします。購入者の氏名・住所・"
                       "電話も消えます。よろしいですか？"));
    QVERIFY(f->messages.asked[0].defaultAnswer == MessageBoxes::Answer::Cancel);
    QCOMPARE(saleDateOf(1), QStringLiteral("2026/11/03"));

    f->messages.setNextAnswer(MessageBoxes::Answer::Ok);
    QTest::mouseClick(f->control<QPushButton>("Form2", "Command7"), Qt::LeftButton);
    QCOMPARE(saleDateOf(1), QString());
    QVERIFY(!AnimalOutcomes().outcome(1));
    // The buyer's name, address and phone are gone, so the next sale does not offer them.
    const ChartSale kept = SaleStore().chartSale(1);
    QCOMPARE(kept.buyerName, QString());
    QCOMPARE(kept.buyerAddress, QString());
    QCOMPARE(kept.buyerPhone, QString());
    QString offered = QStringLiteral("?");
    whenDialogShows([&](QDialog* dialog) {
        offered = dialog->findChild<QLineEdit*>("buyerName")->text();
        dialog->reject();
    });
    action("actSell")->trigger();
    QCOMPARE(offered, QString());
}

void TestLife::soldDogCannotDieOrBeSoldAgainOnTheScreens()
{
    writeCharts({chart(QStringLiteral("柴犬"), QDate(2026, 6, 1), QStringLiteral("2026/8/1"))});
    RecordFile records;
    AnimalOutcomes().recordSale(records, 1, saleOn(QDate(2026, 10, 21)), Species::Dog);
    startProgram();
    for (const char* step : {"actLeave", "actSell"}) {
        f->messages.asked.clear();
        action(QString::fromLatin1(step))->trigger();
        QCOMPARE(f->messages.asked.size(), 1);
        QCOMPARE(f->messages.asked[0].text, QStringLiteral("この動物は 2026/10/21 に販売済みです。"));
    }
    const std::optional<AnimalOutcome> present = AnimalOutcomes().outcome(1);
    QVERIFY(!present->leaving);
    QCOMPARE(present->sale->soldOn, QDate(2026, 10, 21));
}

void TestLife::returnIsItsOwnStep()
{
    writeCharts({chart(QStringLiteral("柴犬"), QDate(2026, 6, 1), QStringLiteral("2026/8/1"), {},
                       QStringLiteral("森ケンネル"))});
    RecordFile records;
    AnimalOutcomes().recordSale(records, 1, saleOn(QDate(2026, 10, 21)), Species::Dog);
    startProgram();
    whenDialogShows([&](QDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("ReturnDialog"));
        dialog->findChild<QLineEdit*>("returnedOn")->setText(QStringLiteral("2026/10/20"));
        auto* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        ok->click();
        // A return before the sale is refused and the dialog stays.
        QVERIFY(dialog->isVisible());
        dialog->findChild<QLineEdit*>("returnedOn")->setText(QStringLiteral("2026/11/2"));
        dialog->findChild<QLineEdit*>("reason")->setText(QStringLiteral("体調不良"));
        ok->click();
    });
    action("actReturn")->trigger();
    QCOMPARE(f->messages.asked.size(), 1);
    QCOMPARE(f->messages.asked[0].text,
             QStringLiteral("返品の日は販売日 2026/10/21 より後の日付を入力してください。"));

    // The sale stays on record; the animal is in the shop again from the return, from its buyer.
    const QList<AnimalOutcome> stays = AnimalOutcomes().outcomes();
    QCOMPARE(stays.size(), 2);
    QCOMPARE(stays[0].sale->soldOn, QDate(2026, 10, 21));
    QVERIFY(stays[1].returnedByBuyer);
    QCOMPARE(stays[1].purchased, QStringLiteral("2026/11/2"));
    QCOMPARE(stays[1].sellerName, QStringLiteral("山田 花子"));
    QCOMPARE(stays[1].returnReason, QStringLiteral("体調不良"));
    QCOMPARE(saleDateOf(1), QString());

    // Counted as newly owned on the return's day; the sale counts too.
    const YearlyCount count =
        countYear(2026, RecordFile().loadAllRecords(), stays, {{QStringLiteral("柴犬"), Species::Dog}});
    QCOMPARE(count.dogs.added, (std::array<int, 12>{0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0}));
    QCOMPARE(count.dogs.left[KindCount::Sold], (std::array<int, 12>{0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}));
    QCOMPARE(count.dogs.heldAtEnd, 1);
    QVERIFY(count.agrees());

    // The record book: the sold stay from the kennel, then the stay from the buyer who brought it back.
    const RecordBook book =
        makeRecordBook(QDate(2026, 1, 1), QDate(2026, 12, 31), RecordFile().loadAllRecords(), stays,
                       SaleStore().chartSales(), {{QStringLiteral("柴犬"), Species::Dog}});
    QCOMPARE(book.rows.size(), 2);
    QCOMPARE(book.rows[0].mid(5, 4), (QStringList{"2026/8/1", "森ケンネル", "", "2026/10/21"}));
    QCOMPARE(book.rows[1].mid(5, 4), (QStringList{"2026/11/2", "山田 花子", "", ""}));
}

void TestLife::typedSaleDatesOfEarlierVersionsAreAdoptedOnce()
{
    PetRecord deleted = chart(QString(), QDate(2000, 1, 1), {}, QStringLiteral("2025/5/5"));
    writeCharts({chart(QStringLiteral("柴犬"), QDate(2025, 1, 1), QStringLiteral("2025/3/1"),
                       QStringLiteral("2025/5/5"), {}, QStringLiteral("150,000")),
                 chart(QStringLiteral("柴犬"), QDate(2025, 1, 1), QStringLiteral("2025/3/1"),
                       QStringLiteral("予約済")),
                 deleted,
                 chart(QStringLiteral("柴犬"), QDate(2025, 1, 1), QStringLiteral("2025/3/1"),
                       QStringLiteral("2025/6/1"), {}, QStringLiteral("相談"))});
    RecordFile records;
    AnimalOutcomes outcomes;
    QCOMPARE(outcomes.adoptTypedSaleDates(records), 2);
    QCOMPARE(outcomes.adoptTypedSaleDates(records), 0);
    const QList<AnimalOutcome> stays = outcomes.outcomes();
    QCOMPARE(stays.size(), 2);
    QCOMPARE(stays[0].recordNumber, 1);
    QCOMPARE(stays[0].sale->soldOn, QDate(2025, 5, 5));
    QCOMPARE(stays[0].sale->price, std::optional<qint64>(150000));
    QVERIFY(stays[0].sale->priceFromPlan);
    QCOMPARE(stays[1].recordNumber, 4);
    QCOMPARE(stays[1].sale->price, std::nullopt);
}

void TestLife::unfinishedChangeIsUndoneAtStart()
{
    const PetRecord before = chart(QStringLiteral("柴犬"), QDate(2026, 6, 1), QStringLiteral("2026/8/1"));
    const PetRecord after = chart(QStringLiteral("柴犬"), QDate(2026, 6, 1), QStringLiteral("2026/8/1"),
                                  QStringLiteral("2026/12/01"));
    // A sale killed after its record was stored and before its commit: the record holds the sale, the
    // database only the mark.
    writeCharts({after, before});
    SaleStore().open();
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("mark"));
        db.setDatabaseName(QStringLiteral("soranika.db"));
        QVERIFY(db.open());
        for (int number : {1, 2}) {
            QSqlQuery insert(db);
            insert.prepare(
                QStringLiteral("INSERT INTO pending_change (record_number, record_before, record_after, "
                               "step) VALUES (?, ?, ?, '販売')"));
            insert.addBindValue(number);
            insert.addBindValue(bytesOf(before));
            insert.addBindValue(bytesOf(after));
            QVERIFY(insert.exec());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("mark"));

    f->start();
    QTRY_COMPARE(f->messages.asked.size(), 1);
    QCOMPARE(f->messages.asked[0].text,
             QStringLiteral("前回、「販売」の記録が途中で止まりました。カルテと販売の記録を、その前の状態に"
                            "戻しました。"));
    // Chart 1 held the change and is put back; chart 2 never got it and keeps what it holds.
    QCOMPARE(readFileBytes(QStringLiteral("detapetto.dt")), bytesOf(before) + bytesOf(before));
    QVERIFY(!AnimalOutcomes().outcome(1));
    f.reset();
    f = std::make_unique<ProgramFixture>();
}

void TestLife::yearlyReportOverAnAwkwardShop()
{
    const QDate born(2025, 1, 10);
    const QString shiba = QStringLiteral("柴犬");
    writeCharts({
        chart(shiba, born, {}, {}, QStringLiteral("自家繁殖")),          // 1 born in the shop, in stock
        chart(shiba, born, QStringLiteral("2025/6/1")),                  // 2 sold, then brought back
        chart(shiba, born, QStringLiteral("2025/7/1")),                  // 3 deleted while in stock
        chart(QStringLiteral("豆柴"), born, QStringLiteral("2025/8/1")), // 4 species 未設定
        chart(shiba, born, QStringLiteral("2025/9/3"),
              QStringLiteral("2025/9/30")),             // 5 bought and sold in September
        chart(shiba, born, QStringLiteral("2025/5/1")), // 6 died
        chart(shiba, born, {}),                         // 7 no 所有した日
    });
    AnimalOutcomes outcomes;
    outcomes.saveSpecies({{shiba, Species::Dog}});
    RecordFile records;
    outcomes.recordSale(records, 2, saleOn(QDate(2025, 10, 1)), Species::Dog);
    outcomes.recordReturn(records, 2, QDate(2025, 10, 15), QStringLiteral("体調"));
    outcomes.deleteChart(records, 3, PetRecord{}, QDate(2025, 12, 1));
    outcomes.adoptTypedSaleDates(records);
    outcomes.recordLeaving(records, 6, {QDate(2026, 3, 31), LeaveKind::Died, QStringLiteral("肺炎")},
                           Species::Dog);

    const YearlyCount count =
        countYear(2025, records.loadAllRecords(), outcomes.outcomes(), outcomes.allSpecies());
    // 4/1: the dog born in January. New: 6 in May, 2 in June and again in October, 5 in September.
    // Sold: 5 in September, 2 in October. Died: 6 on 3/31. 3/31: 1 and 2.
    QCOMPARE(count.dogs.heldAtStart, 1);
    QCOMPARE(count.dogs.added, (std::array<int, 12>{0, 1, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0}));
    QCOMPARE(count.dogs.left[KindCount::Sold], (std::array<int, 12>{0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0}));
    QCOMPARE(count.dogs.left[KindCount::Died], (std::array<int, 12>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
    QCOMPARE(count.dogs.heldAtEnd, 2);
    QCOMPARE(count.dogs.difference(), 0);
    QVERIFY(!count.agrees());
    // The deleted chart's kept stay comes first, then the charts.
    QCOMPARE(count.problems.size(), 3);
    QCOMPARE(count.problems[0].number, 3);
    QCOMPARE(count.problems[0].reason,
             QStringLiteral("在庫のままカルテを削除しました（店を離れた日と区分が分かりません）"));
    QCOMPARE(count.problems[1].number, 4);
    QCOMPARE(count.problems[1].reason,
             QStringLiteral("種別が未設定です（品種情報で犬・猫・その他を決めてください）"));
    QCOMPARE(count.problems[2].number, 7);
    QCOMPARE(count.problems[2].reason,
             QStringLiteral("所有した日（仕入日）がありません（自家繁殖なら仕入先を「自家繁殖」に）"));
    // The year after its deletion, the deleted chart's animal is neither counted nor listed.
    const YearlyCount next =
        countYear(2026, records.loadAllRecords(), outcomes.outcomes(), outcomes.allSpecies());
    QVERIFY(std::none_of(next.problems.cbegin(), next.problems.cend(),
                         [](const CountProblem& problem) { return problem.number == 3; }));
    QCOMPARE(next.dogs.heldAtStart, 2);
}

void TestLife::yearBoundaries_data()
{
    QTest::addColumn<QString>("purchased");
    QTest::addColumn<QString>("sold");
    QTest::addColumn<int>("atStart");
    QTest::addColumn<int>("addedInApril");
    QTest::addColumn<int>("soldInMarch");
    QTest::addColumn<int>("atEnd");
    QTest::newRow("bought 3/31, before the year") << "2025/3/31"
                                                  << "" << 1 << 0 << 0 << 1;
    QTest::newRow("bought 4/1, the year's first day") << "2025/4/1"
                                                      << "" << 0 << 1 << 0 << 1;
    QTest::newRow("sold 3/31, the year's last day") << "2025/4/1"
                                                    << "2026/3/31" << 0 << 1 << 1 << 0;
    QTest::newRow("sold 4/1, the next year") << "2025/4/1"
                                             << "2026/4/1" << 0 << 1 << 0 << 1;
    QTest::newRow("sold on 4/1 it came") << "2025/4/1"
                                         << "2025/4/1" << 0 << 1 << 0 << 0;
    QTest::newRow("bought 3/31, sold 4/1: held on 4/1") << "2025/3/31"
                                                        << "2025/4/1" << 1 << 0 << 0 << 0;
}

void TestLife::yearBoundaries()
{
    QFETCH(QString, purchased);
    QFETCH(QString, sold);
    QFETCH(int, atStart);
    QFETCH(int, addedInApril);
    QFETCH(int, soldInMarch);
    QFETCH(int, atEnd);
    const std::vector<PetRecord> charts{chart(QStringLiteral("柴犬"), QDate(2024, 1, 1), purchased, sold)};
    const YearlyCount count = countYear(2025, charts, {}, {{QStringLiteral("柴犬"), Species::Dog}});
    QCOMPARE(count.dogs.heldAtStart, atStart);
    QCOMPARE(count.dogs.added[0], addedInApril);
    QCOMPARE(count.dogs.left[KindCount::Sold][11], soldInMarch);
    QCOMPARE(count.dogs.heldAtEnd, atEnd);
    QVERIFY(count.agrees());
}

void TestLife::deletedAnimalKeepsItsLegalRow()
{
    PetRecord sold = chart(QStringLiteral("柴犬"), QDate(2026, 6, 1), QStringLiteral("2026/8/1"), {},
                           QStringLiteral("関東ペットオークション"), QStringLiteral("298,000"));
    setText(sold.Staff, QStringLiteral("鈴木"));
    setText(sold.PurchaseCost, QStringLiteral("100,000"));
    writeCharts({sold});
    AnimalOutcomes outcomes;
    outcomes.saveSpecies({{QStringLiteral("柴犬"), Species::Dog}});
    ChartSale origin;
    origin.breederName = QStringLiteral("佐藤ブリーダー");
    origin.breederReg = QStringLiteral("第100号");
    SaleStore().saveChartSale(1, origin);
    RecordFile records;
    outcomes.recordSale(records, 1, saleOn(QDate(2026, 11, 3), 298000), Species::Dog);
    PetRecord blanked{};
    blanked.PurchaseDate = sold.PurchaseDate;
    outcomes.deleteChart(records, 1, blanked, QDate(2026, 12, 8));

    const QList<AnimalOutcome> stays = outcomes.outcomes();
    QCOMPARE(stays.size(), 1);
    QCOMPARE(stays[0].recordNumber, 0);
    QCOMPARE(stays[0].formerNumber, 1);
    QCOMPARE(stays[0].deletedOn, QDate(2026, 12, 8));
    QCOMPARE(stays[0].supplier, QStringLiteral("関東ペットオークション"));
    QCOMPARE(stays[0].staff, QStringLiteral("鈴木"));
    QCOMPARE(stays[0].cost, QStringLiteral("100,000"));
    QCOMPARE(stays[0].breederName, QStringLiteral("佐藤ブリーダー"));
    QCOMPARE(keptUntil(stays[0]), QDate(2031, 11, 3));
    QVERIFY(SaleStore().chartSales().isEmpty());

    const RecordBook book = makeRecordBook(QDate(2026, 1, 1), QDate(2026, 12, 31), records.loadAllRecords(),
                                           stays, {}, outcomes.allSpecies());
    QCOMPARE(book.rows.size(), 1);
    QCOMPARE(book.rows[0].mid(0, 9),
             (QStringList{"1（削除済）", "柴犬", "佐藤ブリーダー", "第100号", "2026/6/1", "2026/8/1",
                          "関東ペットオークション", "", "2026/11/3"}));
}

void TestLife::keepingPeriodEndsAfterFiveYears_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("removed");
    QTest::newRow("the last day kept") << QDate(2031, 11, 3) << 0;
    QTest::newRow("the day after") << QDate(2031, 11, 4) << 1;
}

void TestLife::keepingPeriodEndsAfterFiveYears()
{
    QFETCH(QDate, today);
    QFETCH(int, removed);
    writeCharts({chart(QStringLiteral("柴犬"), QDate(2026, 6, 1), QStringLiteral("2026/8/1"))});
    AnimalOutcomes outcomes;
    RecordFile records;
    outcomes.recordSale(records, 1, saleOn(QDate(2026, 11, 3)), Species::Dog);
    outcomes.deleteChart(records, 1, PetRecord{}, QDate(2026, 11, 10));
    // Kept five years after the sale, not after the deletion.
    QCOMPARE(keptUntil(outcomes.outcomes().first()), QDate(2031, 11, 3));
    QCOMPARE(outcomes.removeExpired(today), removed);
    QCOMPARE(outcomes.outcomes().size(), 1 - removed);
}

void TestLife::expiredRowsGoOnlyByTheRecordBooksStep()
{
    // The program's day is 2026/12/7: a sale of 2021/12/6 has been kept its five years, one of
    // 2021/12/7 has not.
    writeCharts({chart(QStringLiteral("柴犬"), QDate(2021, 6, 1), QStringLiteral("2021/8/1")),
                 chart(QStringLiteral("柴犬"), QDate(2021, 6, 1), QStringLiteral("2021/8/1"))});
    AnimalOutcomes outcomes;
    RecordFile records;
    outcomes.recordSale(records, 1, saleOn(QDate(2021, 12, 6)), Species::Dog);
    outcomes.recordSale(records, 2, saleOn(QDate(2021, 12, 7)), Species::Dog);
    outcomes.deleteChart(records, 1, PetRecord{}, QDate(2026, 1, 5));
    outcomes.deleteChart(records, 2, PetRecord{}, QDate(2026, 1, 5));
    startProgram();

    bool offered = false;
    whenDialogShows([&](QDialog* dialog) {
        auto* remove = dialog->findChild<QPushButton*>("removeExpired");
        offered = remove->isEnabled();
        f->messages.setNextAnswer(MessageBoxes::Answer::Cancel);
        remove->click();
        QCOMPARE(AnimalOutcomes().outcomes().size(), 2);
        f->messages.setNextAnswer(MessageBoxes::Answer::Ok);
        remove->click();
        QVERIFY(!remove->isEnabled());
        dialog->reject();
    });
    action("actRecordBook")->trigger();
    QVERIFY(offered);
    QCOMPARE(f->messages.asked.size(), 2);
    QCOMPARE(
        f->messages.asked[0].text,
        QStringLiteral("データ削除したカルテのうち、5 年の保存期間を過ぎた 1 頭の記録を帳簿から消します。"
                       "消した記録は元に戻せません。よろしいですか？"));
    QVERIFY(f->messages.asked[0].defaultAnswer == MessageBoxes::Answer::Cancel);
    const QList<AnimalOutcome> left = AnimalOutcomes().outcomes();
    QCOMPARE(left.size(), 1);
    QCOMPARE(left[0].formerNumber, 2);
}

void TestLife::version4RowsKeepOneLife()
{
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
        db.setDatabaseName(QStringLiteral("soranika.db"));
        QVERIFY(db.open());
        QSqlQuery query(db);
        for (const char* statement : {
                 "CREATE TABLE chart_sale (record_number INTEGER PRIMARY KEY, microchip TEXT NOT NULL "
                 "DEFAULT '', "
                 "chip_implanted TEXT, chip_registered TEXT, neutered INTEGER NOT NULL DEFAULT 0, "
                 "neutered_on TEXT, "
                 "owner TEXT NOT NULL DEFAULT '', hereditary TEXT NOT NULL DEFAULT '', buyer_name TEXT NOT "
                 "NULL "
                 "DEFAULT '', buyer_address TEXT NOT NULL DEFAULT '', buyer_phone TEXT NOT NULL DEFAULT '', "
                 "explained_on TEXT, animal_kind TEXT, animal_birth TEXT, animal_purchased TEXT, "
                 "breeder_name TEXT "
                 "NOT NULL DEFAULT '', breeder_reg TEXT NOT NULL DEFAULT '', seller_name TEXT NOT NULL "
                 "DEFAULT '', "
                 "seller_reg TEXT NOT NULL DEFAULT '')",
                 "CREATE TABLE breed_text (kind TEXT PRIMARY KEY, body_size TEXT, lifespan TEXT, housing "
                 "TEXT, "
                 "feeding TEXT, exercise TEXT, diseases TEXT, neutering TEXT, breeding_control TEXT, "
                 "regulations "
                 "TEXT)",
                 "CREATE TABLE dealer (id INTEGER PRIMARY KEY, registration_number TEXT NOT NULL DEFAULT '', "
                 "animal_handler TEXT NOT NULL DEFAULT '')",
                 "CREATE TABLE breed_species (kind TEXT PRIMARY KEY, species TEXT NOT NULL CHECK (species IN "
                 "('犬', '猫')))",
                 "CREATE TABLE species_text (species TEXT PRIMARY KEY, body_size TEXT, lifespan TEXT, "
                 "housing TEXT, "
                 "feeding TEXT, exercise TEXT, diseases TEXT, neutering TEXT, breeding_control TEXT, "
                 "regulations "
                 "TEXT)",
                 "CREATE TABLE animal_outcome (id INTEGER PRIMARY KEY, record_number INTEGER UNIQUE, species "
                 "TEXT NOT "
                 "NULL DEFAULT '', kind TEXT NOT NULL DEFAULT '', birth TEXT NOT NULL DEFAULT '', purchased "
                 "TEXT NOT "
                 "NULL DEFAULT '', sold_on TEXT, price INTEGER, buyer_business INTEGER NOT NULL DEFAULT 0, "
                 "buyer_name "
                 "TEXT NOT NULL DEFAULT '', buyer_address TEXT NOT NULL DEFAULT '', buyer_phone TEXT NOT "
                 "NULL DEFAULT "
                 "'', buyer_reg_no TEXT NOT NULL DEFAULT '', buyer_check TEXT NOT NULL DEFAULT '', sold_by "
                 "TEXT NOT "
                 "NULL DEFAULT '', explained_on TEXT, explained_how TEXT NOT NULL DEFAULT '', microchip TEXT "
                 "NOT NULL "
                 "DEFAULT '', chip_registered INTEGER NOT NULL DEFAULT 0, left_on TEXT, left_kind TEXT, "
                 "left_detail "
                 "TEXT NOT NULL DEFAULT '', breeder_name TEXT NOT NULL DEFAULT '', breeder_reg TEXT NOT NULL "
                 "DEFAULT "
                 "'', seller_name TEXT NOT NULL DEFAULT '', seller_reg TEXT NOT NULL DEFAULT '')",
                 "CREATE TABLE care_plan (medication TEXT PRIMARY KEY, interval_days INTEGER, first_age_days "
                 "INTEGER, doses INTEGER)",
                 "CREATE TABLE stock_limit (id INTEGER PRIMARY KEY, age_days INTEGER NOT NULL, stock_days "
                 "INTEGER "
                 "NOT NULL)",
                 "INSERT INTO breed_species VALUES ('柴犬', '犬')",
                 // Sold in October, then recorded as dead in November: the sale was first.
                 "INSERT INTO animal_outcome (record_number, species, kind, sold_on, price, left_on, "
                 "left_kind) "
                 "VALUES (1, '犬', '柴犬', '2026-10-21', 298000, '2026-11-05', '死亡')",
                 // Died, then a sale recorded after it: the death was first.
                 "INSERT INTO animal_outcome (record_number, species, kind, sold_on, left_on, left_kind) "
                 "VALUES (2, '', 'ミックス', '2026-11-20', '2026-11-01', '死亡')",
                 "PRAGMA user_version = 4",
             })
            QVERIFY2(query.exec(QString::fromUtf8(statement)), statement);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("old"));

    const QList<AnimalOutcome> stays = AnimalOutcomes().outcomes();
    QCOMPARE(stays.size(), 2);
    QCOMPARE(stays[0].status(), QStringLiteral("販売済"));
    QCOMPARE(stays[0].sale->price, std::optional<qint64>(298000));
    QVERIFY(!stays[0].leaving);
    QCOMPARE(stays[1].status(), QStringLiteral("死亡"));
    QVERIFY(!stays[1].sale);
    // A kind that was その他 only because nobody chose is now to be decided.
    QCOMPARE(stays[1].species, Species::Unset);
    QCOMPARE(AnimalOutcomes().allSpecies(), (QMap<QString, Species>{{QStringLiteral("柴犬"), Species::Dog}}));
}

void TestLife::speciesIsProposedForCommonNames_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Species>("proposed");
    QTest::newRow("豆柴") << QStringLiteral("豆柴") << Species::Dog;
    QTest::newRow("half-width kana") << QStringLiteral("ﾐﾆﾁｭｱ･ﾀﾞｯｸｽﾌﾝﾄﾞ") << Species::Dog;
    QTest::newRow("ラグドール") << QStringLiteral("ラグドール") << Species::Cat;
    QTest::newRow("スコティッシュ・フォールド")
        << QStringLiteral("スコティッシュ・フォールド") << Species::Cat;
    QTest::newRow("ハムスター") << QStringLiteral("ハムスター") << Species::Unset;
}

void TestLife::speciesIsProposedForCommonNames()
{
    QFETCH(QString, kind);
    QFETCH(Species, proposed);
    QCOMPARE(proposedSpecies(kind), proposed);
}

void TestLife::recordBookPeriodEdgesAndGaps()
{
    const QString shiba = QStringLiteral("柴犬");
    const QDate born(2025, 1, 1);
    writeCharts(
        {chart(shiba, born, QStringLiteral("2025/3/1"),
               QStringLiteral("2025/12/8")), // 1 sold on the first day
         chart(shiba, born, QStringLiteral("2025/3/1"), QStringLiteral("2025/12/7")), // 2 sold the day before
         chart(shiba, born, QStringLiteral("2026/12/7")),  // 3 bought on the last day
         chart(shiba, born, QStringLiteral("2026/12/8")),  // 4 bought the day after
         chart(shiba, born, QStringLiteral("2026/3/1"))}); // 5 died, no cause
    AnimalOutcomes outcomes;
    outcomes.saveSpecies({{shiba, Species::Dog}});
    RecordFile records;
    outcomes.recordLeaving(records, 5, {QDate(2026, 4, 1), LeaveKind::Died, {}}, Species::Dog);
    const RecordBook book = makeRecordBook(QDate(2025, 12, 8), QDate(2026, 12, 7), records.loadAllRecords(),
                                           outcomes.outcomes(), {}, outcomes.allSpecies());
    QStringList numbers;
    for (const QStringList& row : book.rows)
        numbers.append(row[0]);
    QCOMPARE(numbers, (QStringList{"1", "3", "5"}));
    QVERIFY(recordBookSummary(book).contains(QStringLiteral("死亡の原因 1 頭")));
}

void TestLife::monthEndsAndSameDaySales()
{
    const QString shiba = QStringLiteral("柴犬");
    writeCharts({chart(shiba, QDate(2026, 6, 1), QStringLiteral("2026/10/31"), QStringLiteral("2026/10/31")),
                 chart(shiba, QDate(2026, 6, 1), QStringLiteral("2026/10/1"), QStringLiteral("2026/11/30")),
                 chart(shiba, QDate(2026, 6, 1), QStringLiteral("2026/9/1"))});
    // The third dog's chart is deleted in November while it is in stock: it is in stock no more.
    AnimalOutcomes outcomes;
    RecordFile records;
    outcomes.deleteChart(records, 3, PetRecord{}, QDate(2026, 11, 10));
    const QList<MonthFigures> months =
        monthFigures(shopAnimals(records.loadAllRecords(), outcomes.outcomes(), {{shiba, Species::Dog}}),
                     QDate(2026, 10, 1), 2);
    QCOMPARE(months[0].bought, 2);
    QCOMPARE(months[0].sold, 1);
    QCOMPARE(months[0].stockAtEnd, 2);
    QCOMPARE(months[0].averageDaysInStock, std::optional<double>(0.0));
    QCOMPARE(months[1].bought, 0);
    QCOMPARE(months[1].sold, 1);
    QCOMPARE(months[1].stockAtEnd, 0);
    QCOMPARE(months[1].averageDaysInStock, std::optional<double>(60.0));
}

void TestLife::individualBuyerKeepsNoRegistration()
{
    writeCharts({chart(QStringLiteral("柴犬"), QDate(2026, 6, 1), QStringLiteral("2026/8/1"))});
    Sale sale = saleOn(QDate(2026, 11, 3));
    // Typed while the buyer was a business, then switched to an individual.
    sale.buyerRegNo = QStringLiteral("第300号");
    sale.buyerCheck = QStringLiteral("登録証の写し");
    RecordFile records;
    AnimalOutcomes().recordSale(records, 1, sale, Species::Dog);
    const Sale stored = *AnimalOutcomes().outcome(1)->sale;
    QCOMPARE(stored.buyerRegNo, QString());
    QCOMPARE(stored.buyerCheck, QString());
}

QTEST_MAIN(TestLife)
#include "test_life.moc"
