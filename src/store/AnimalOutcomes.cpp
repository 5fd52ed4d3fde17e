#include "store/AnimalOutcomes.h"

#include "store/DateText.h"
#include "store/DisplayText.h"
#include "store/Failure.h"
#include "store/FreeText.h"
#include "store/Microchip.h"
#include "store/RecordFile.h"
#include "store/SaleDatabase.h"
#include "store/Sjis.h"
#include "store/SqliteConnection.h"

#include <QFileInfo>
#include <QSet>
#include <QSqlError>
#include <QSqlRecord>

#include <algorithm>

namespace {

const QString StayColumns = QStringLiteral(
    "id, record_number, former_number, species, kind, birth, purchased, sold_on, price, price_planned, "
    "buyer_business, buyer_name, buyer_address, buyer_phone, buyer_reg_no, buyer_check, sold_by, "
    "explained_on, "
    "explained_how, microchip, chip_registered, chip_certificate_on, no_chip_reason, left_on, left_kind, "
    "left_detail, breeder_name, breeder_reg, seller_name, seller_reg, returned, return_reason, deleted_on, "
    "supplier, staff, cost, planned_price");

const QString AdoptedKey = QStringLiteral("typed_sale_dates_adopted");

Species speciesFrom(const QString& text)
{
    for (Species species : {Species::Dog, Species::Cat, Species::Other}) {
        if (text == speciesText(species))
            return species;
    }
    return Species::Unset;
}

QVariant storedSpecies(Species species)
{
    return species == Species::Unset ? QVariant(QString(QLatin1String(""))) : QVariant(speciesText(species));
}

LeaveKind leaveKindFrom(const QString& text)
{
    for (LeaveKind kind : {LeaveKind::Died, LeaveKind::HandedOver, LeaveKind::Returned}) {
        if (leaveKindText(kind) == text)
            return kind;
    }
    return LeaveKind::Died;
}

AnimalOutcome outcomeFrom(const QSqlQuery& query)
{
    // By position in StayColumns: a lookup by name builds the query's whole record each time, and a
    // search through the list of names compares thirty names for each value.
    static const QHash<QByteArray, int> positions = [] {
        QHash<QByteArray, int> found;
        const QStringList columns = StayColumns.split(QStringLiteral(", "));
        for (int index = 0; index < columns.size(); ++index)
            found.insert(columns[index].toLatin1(), index);
        return found;
    }();
    const auto value = [&](const char* column) {
        const int index = positions.value(QByteArray::fromRawData(column, qsizetype(qstrlen(column))), -1);
        Q_ASSERT(index >= 0);
        return query.value(index);
    };
    const auto text = [&](const char* column) { return value(column).toString(); };
    AnimalOutcome outcome;
    outcome.id = value("id").toLongLong();
    outcome.recordNumber = value("record_number").toInt();
    outcome.formerNumber = value("former_number").toInt();
    outcome.species = speciesFrom(text("species"));
    outcome.kind = text("kind");
    outcome.birth = text("birth");
    outcome.purchased = text("purchased");
    if (!value("sold_on").isNull()) {
        Sale sale;
        sale.soldOn = dateFrom(value("sold_on"));
        if (!value("price").isNull())
            sale.price = value("price").toLongLong();
        sale.priceFromPlan = value("price_planned").toInt() != 0;
        sale.businessBuyer = value("buyer_business").toInt() != 0;
        sale.buyerName = text("buyer_name");
        sale.buyerAddress = text("buyer_address");
        sale.buyerPhone = text("buyer_phone");
        sale.buyerRegNo = text("buyer_reg_no");
        sale.buyerCheck = text("buyer_check");
        sale.soldBy = text("sold_by");
        sale.explainedOn = dateFrom(value("explained_on"));
        sale.explainedHow = text("explained_how");
        sale.microchip = text("microchip");
        sale.chipRegistered = value("chip_registered").toInt() != 0;
        sale.chipCertificateOn = dateFrom(value("chip_certificate_on"));
        sale.noChipReason = text("no_chip_reason");
        outcome.sale = sale;
    }
    if (!value("left_on").isNull())
        outcome.leaving =
            Leaving{dateFrom(value("left_on")), leaveKindFrom(text("left_kind")), text("left_detail")};
    outcome.breederName = text("breeder_name");
    outcome.breederReg = text("breeder_reg");
    outcome.sellerName = text("seller_name");
    outcome.sellerReg = text("seller_reg");
    outcome.returnedByBuyer = value("returned").toInt() != 0;
    outcome.returnReason = text("return_reason");
    outcome.deletedOn = dateFrom(value("deleted_on"));
    outcome.supplier = text("supplier");
    outcome.staff = text("staff");
    outcome.cost = text("cost");
    outcome.plannedPrice = text("planned_price");
    return outcome;
}

std::optional<AnimalOutcome> presentStay(SaleDatabase& db, qint32 number)
{
    QSqlQuery query =
        db.run(QStringLiteral("SELECT %1 FROM animal_stay WHERE record_number = ? ORDER BY id DESC LIMIT 1")
                   .arg(StayColumns),
               {number});
    std::optional<AnimalOutcome> found;
    if (query.next())
        found = outcomeFrom(query);
    checkFinished(query, db.shownName());
    return found;
}

// The id of the present stay of chart `number`, made when the chart has none or its present stay has
// ended, with what the chart says of the animal now.
qint64 openStay(SaleDatabase& db, qint32 number, const PetRecord& record, Species species)
{
    const std::optional<AnimalOutcome> present = presentStay(db, number);
    if (present && !present->hasLeft()) {
        db.run(QStringLiteral("UPDATE animal_stay SET species = ?, kind = ?, birth = ? WHERE id = ?"),
               {storedSpecies(species), sqlText(tableText(record.Kind)), sqlText(birthDateText(record)),
                present->id});
        if (!present->returnedByBuyer)
            db.run(QStringLiteral("UPDATE animal_stay SET purchased = ? WHERE id = ?"),
                   {sqlText(tableText(record.PurchaseDate)), present->id});
        return present->id;
    }
    QSqlQuery insert = db.run(QStringLiteral("INSERT INTO animal_stay (record_number, species, kind, birth, "
                                             "purchased) VALUES (?, ?, ?, ?, ?)"),
                              {number, storedSpecies(species), sqlText(tableText(record.Kind)),
                               sqlText(birthDateText(record)), sqlText(tableText(record.PurchaseDate))});
    return insert.lastInsertId().toLongLong();
}

PetRecord loadedChart(RecordFile& records, qint32 number)
{
    checkRecordNumber(number);
    records.LoadRecord(number);
    if (shownText(records.CurrentRecord.Kind).isEmpty())
        throw Failure(QStringLiteral("このカルテには動物が入力されていません。"));
    return records.CurrentRecord;
}

void refuseUnless(const std::optional<AnimalOutcome>& present, LifeStep step)
{
    const QString refusal = refusalOf(present, step);
    if (!refusal.isEmpty())
        throw Failure(refusal);
}

QByteArray bytesOf(const PetRecord& record)
{
    return QByteArray(reinterpret_cast<const char*>(&record), int(sizeof(PetRecord)));
}

// Changes chart `number` to `changed` and the database by `work`, both or neither. The record's old and
// new bytes are committed first; the change's own transaction removes them again, so a row left
// behind means the change never committed, and settleUnfinished puts the record back.
template <typename Work>
void changeChart(SaleDatabase& db, RecordFile& records, qint32 number, const PetRecord& changed,
                 const QString& step, Work work)
{
    const RecordFile::UndoPoint before = records.undoPoint(number);
    qint64 mark = 0;
    {
        SqliteTransaction marking(db);
        mark =
            db.run(QStringLiteral("INSERT INTO pending_change (record_number, record_before, record_after, "
                                  "step) VALUES (?, ?, ?, ?)"),
                   {number, before.bytes.isNull() ? QByteArray("") : before.bytes, bytesOf(changed), step})
                .lastInsertId()
                .toLongLong();
        marking.commit();
    }
    try {
        SqliteTransaction transaction(db);
        work();
        db.run(QStringLiteral("DELETE FROM pending_change WHERE id = ?"), {mark});
        storeAndCommit(records, number, changed, transaction);
    } catch (const Failure&) {
        // The record is back as it was; its mark goes too, or the next start finds the record as it
        // was and only removes the mark.
        try {
            db.run(QStringLiteral("DELETE FROM pending_change WHERE id = ?"), {mark});
        } catch (const Failure&) {
            qWarning("An unfinished change's mark could not be removed; the next start removes it.");
        }
        throw;
    }
}

} // namespace

QString speciesText(Species species)
{
    switch (species) {
    case Species::Dog:
        return QStringLiteral("犬");
    case Species::Cat:
        return QStringLiteral("猫");
    case Species::Other:
        return QStringLiteral("その他");
    case Species::Unset:
        break;
    }
    return QStringLiteral("未設定");
}

bool mayBeDogOrCat(Species species)
{
    return species != Species::Other;
}

Species proposedSpecies(const QString& kind)
{
    static const QStringList dogWords{
        QStringLiteral("犬"),           QStringLiteral("プードル"),     QStringLiteral("チワワ"),
        QStringLiteral("ダックス"),     QStringLiteral("ポメラニアン"), QStringLiteral("テリア"),
        QStringLiteral("シーズー"),     QStringLiteral("パピヨン"),     QStringLiteral("マルチーズ"),
        QStringLiteral("コーギー"),     QStringLiteral("レトリーバー"), QStringLiteral("スパニエル"),
        QStringLiteral("ブルドッグ"),   QStringLiteral("シュナウザー"), QStringLiteral("ビーグル"),
        QStringLiteral("パグ"),         QStringLiteral("ドッグ"),       QStringLiteral("柴"),
        QStringLiteral("秋田"),         QStringLiteral("狆"),           QStringLiteral("ハスキー"),
        QStringLiteral("シェパード"),   QStringLiteral("シェルティ"),   QStringLiteral("コリー"),
        QStringLiteral("ボーダー"),     QStringLiteral("ペキニーズ"),   QStringLiteral("ビション"),
        QStringLiteral("ヨークシャー"), QStringLiteral("スピッツ"),     QStringLiteral("サモエド"),
        QStringLiteral("ドーベルマン"), QStringLiteral("ボクサー"),     QStringLiteral("ピンシャー")};
    static const QStringList catWords{
        QStringLiteral("猫"),           QStringLiteral("ネコ"),           QStringLiteral("キャット"),
        QStringLiteral("ショートヘア"), QStringLiteral("ロングヘア"),     QStringLiteral("スコティッシュ"),
        QStringLiteral("マンチカン"),   QStringLiteral("ラグドール"),     QStringLiteral("メインクーン"),
        QStringLiteral("ペルシャ"),     QStringLiteral("ロシアンブルー"), QStringLiteral("ノルウェージャン"),
        QStringLiteral("アビシニアン"), QStringLiteral("ベンガル"),       QStringLiteral("シャム"),
        QStringLiteral("ミヌエット"),   QStringLiteral("ラガマフィン"),   QStringLiteral("ソマリ"),
        QStringLiteral("シンガプーラ"), QStringLiteral("スフィンクス"),   QStringLiteral("ブリティッシュ")};
    const QString folded = kind.normalized(QString::NormalizationForm_KC);
    const auto names = [&](const QStringList& words) {
        return std::any_of(words.cbegin(), words.cend(),
                           [&](const QString& word) { return folded.contains(word); });
    };
    if (names(catWords))
        return Species::Cat;
    if (names(dogWords))
        return Species::Dog;
    return Species::Unset;
}

Species speciesOfKind(const QString& shownKind, const QMap<QString, Species>& species)
{
    if (species.contains(shownKind))
        return species.value(shownKind);
    for (auto kind = species.cbegin(); kind != species.cend(); ++kind) {
        if (withoutTrailingSpaces(
                Sjis::shownText(Sjis::fitField(kind.key(), int(sizeof(PetRecord::Kind))))) == shownKind)
            return *kind;
    }
    return Species::Unset;
}

QDate firstSaleDay(const QDate& birth)
{
    return birth.addDays(57);
}

QString tooYoungToSell(Species species, const QDate& birth, const QDate& soldOn)
{
    if (!mayBeDogOrCat(species) || !birth.isValid() || soldOn >= firstSaleDay(birth))
        return {};
    return QStringLiteral(
               "販売日：生まれてから 56 日を経過していない%1は販売できません。販売できるのは %2 からです。")
        .arg(species == Species::Unset ? QStringLiteral("犬・猫") : speciesText(species),
             dateText(firstSaleDay(birth)));
}

QString leaveKindText(LeaveKind kind)
{
    switch (kind) {
    case LeaveKind::HandedOver:
        return QStringLiteral("譲渡・引渡し");
    case LeaveKind::Returned:
        return QStringLiteral("返品");
    case LeaveKind::Died:
        break;
    }
    return QStringLiteral("死亡");
}

QString AnimalOutcome::status() const
{
    if (leaving) {
        switch (leaving->kind) {
        case LeaveKind::HandedOver:
            return QStringLiteral("譲渡");
        case LeaveKind::Returned:
            return QStringLiteral("返品");
        case LeaveKind::Died:
            return QStringLiteral("死亡");
        }
    }
    return sale ? QStringLiteral("販売済") : QString();
}

QDate AnimalOutcome::leftShopOn() const
{
    if (leaving)
        return leaving->leftOn;
    return sale ? sale->soldOn : QDate();
}

QString AnimalOutcome::leftText() const
{
    const QString day = dateText(leftShopOn());
    if (sale)
        return QStringLiteral("この動物は %1 に販売済みです。").arg(day);
    if (!leaving)
        return QString();
    switch (leaving->kind) {
    case LeaveKind::Died:
        return QStringLiteral("この動物は %1 に死亡しています。").arg(day);
    case LeaveKind::Returned:
        return QStringLiteral("この動物は %1 に仕入先へ返品済みです。").arg(day);
    case LeaveKind::HandedOver:
        break;
    }
    return QStringLiteral("この動物は %1 に譲渡・引渡し済みです。").arg(day);
}

QDate keptUntil(const AnimalOutcome& stay)
{
    const QDate last = stay.hasLeft() ? stay.leftShopOn() : stay.deletedOn;
    return last.isValid() ? last.addYears(5) : QDate();
}

QString refusalOf(const std::optional<AnimalOutcome>& present, LifeStep step)
{
    const bool left = present && present->hasLeft();
    switch (step) {
    case LifeStep::Sell:
    case LifeStep::Leave:
        return left ? present->leftText() : QString();
    case LifeStep::Return:
        if (left && present->sale)
            return QString();
        return left ? present->leftText() : QStringLiteral("この動物の販売は記録されていません。");
    case LifeStep::UndoSale:
        break;
    }
    return left && present->sale ? QString() : QStringLiteral("このカルテには販売が記録されていません。");
}

AnimalOutcomes::AnimalOutcomes(QString fileName) : name(std::move(fileName))
{
}

QMap<QString, Species> AnimalOutcomes::allSpecies() const
{
    SaleDatabase db(name, name);
    QSqlQuery query = db.run(QStringLiteral("SELECT kind, species FROM breed_species"));
    QMap<QString, Species> all;
    while (query.next())
        all.insert(query.value(0).toString(), speciesFrom(query.value(1).toString()));
    checkFinished(query, name);
    return all;
}

void AnimalOutcomes::saveSpecies(const QMap<QString, Species>& species)
{
    SaleDatabase db(name, name);
    SqliteTransaction transaction(db);
    for (auto kind = species.cbegin(); kind != species.cend(); ++kind) {
        if (*kind == Species::Unset)
            db.run(QStringLiteral("DELETE FROM breed_species WHERE kind = ?"), {sqlText(kind.key())});
        else
            db.run(QStringLiteral("INSERT OR REPLACE INTO breed_species (kind, species) VALUES (?, ?)"),
                   {sqlText(kind.key()), speciesText(*kind)});
    }
    transaction.commit();
}

Species AnimalOutcomes::speciesForChart(const PetRecord& record) const
{
    const QString shown = tableText(record.Kind);
    return shown.isEmpty() ? Species::Unset : speciesOfKind(shown, allSpecies());
}

std::optional<AnimalOutcome> AnimalOutcomes::outcome(qint32 number) const
{
    SaleDatabase db(name, name);
    return presentStay(db, number);
}

QList<AnimalOutcome> AnimalOutcomes::outcomes() const
{
    SaleDatabase db(name, name);
    QSqlQuery query = db.run(QStringLiteral("SELECT %1 FROM animal_stay ORDER BY id").arg(StayColumns));
    QList<AnimalOutcome> all;
    while (query.next())
        all.append(outcomeFrom(query));
    checkFinished(query, name);
    return all;
}

void AnimalOutcomes::recordSale(RecordFile& records, qint32 number, const Sale& sale, Species species)
{
    PetRecord changed = loadedChart(records, number);
    setText(changed.SaleDate, sale.soldOn.toString(QStringLiteral("yyyy/MM/dd")));
    recordSale(records, number, changed, sale, species);
}

void AnimalOutcomes::recordSale(RecordFile& records, qint32 number, const PetRecord& changed,
                                const Sale& sale, Species species)
{
    checkRecordNumber(number);
    if (tableText(changed.Kind).isEmpty())
        throw Failure(QStringLiteral("このカルテには動物が入力されていません。"));
    const QVariant chip = sqlText(Microchip::normalized(sale.microchip));
    const QString tooYoung = tooYoungToSell(species, readShopDate(birthDateText(changed)), sale.soldOn);
    if (!tooYoung.isEmpty())
        throw Failure(tooYoung);

    SaleDatabase db(name, name);
    refuseUnless(presentStay(db, number), LifeStep::Sell);
    changeChart(db, records, number, changed, QStringLiteral("販売"), [&] {
        db.run(QStringLiteral("INSERT INTO chart_sale (record_number, microchip, buyer_name, buyer_address, "
                              "buyer_phone, explained_on, chip_certificate_on) VALUES (?, ?, ?, ?, ?, ?, ?) "
                              "ON CONFLICT (record_number) DO UPDATE SET microchip = excluded.microchip, "
                              "buyer_name = excluded.buyer_name, buyer_address = excluded.buyer_address, "
                              "buyer_phone = excluded.buyer_phone, explained_on = excluded.explained_on, "
                              "chip_certificate_on = excluded.chip_certificate_on"),
               {number, chip, sqlText(sale.buyerName), sqlText(sale.buyerAddress), sqlText(sale.buyerPhone),
                sqlDate(sale.explainedOn), sqlDate(sale.chipCertificateOn)});
        const qint64 stay = openStay(db, number, changed, species);
        db.run(QStringLiteral(
                   "UPDATE animal_stay SET sold_on = ?, price = ?, price_planned = ?, buyer_business = ?, "
                   "buyer_name = ?, buyer_address = ?, buyer_phone = ?, buyer_reg_no = ?, buyer_check = ?, "
                   "sold_by = ?, explained_on = ?, explained_how = ?, microchip = ?, chip_registered = ?, "
                   "chip_certificate_on = ?, no_chip_reason = ? WHERE id = ?"),
               {sqlDate(sale.soldOn), sale.price ? QVariant(*sale.price) : QVariant(),
                sale.priceFromPlan ? 1 : 0, sale.businessBuyer ? 1 : 0, sqlText(sale.buyerName),
                sqlText(sale.buyerAddress), sqlText(sale.buyerPhone),
                sqlText(sale.businessBuyer ? sale.buyerRegNo : QString()),
                sqlText(sale.businessBuyer ? sale.buyerCheck : QString()), sqlText(sale.soldBy),
                sqlDate(sale.explainedOn), sqlText(sale.explainedHow), chip, sale.chipRegistered ? 1 : 0,
                sqlDate(sale.chipCertificateOn), sqlText(sale.noChipReason), stay});
    });
}

void AnimalOutcomes::undoSale(RecordFile& records, qint32 number)
{
    PetRecord changed = loadedChart(records, number);
    setText(changed.SaleDate, QString());
    undoSale(records, number, changed);
}

void AnimalOutcomes::undoSale(RecordFile& records, qint32 number, const PetRecord& changed)
{
    checkRecordNumber(number);
    SaleDatabase db(name, name);
    const std::optional<AnimalOutcome> present = presentStay(db, number);
    refuseUnless(present, LifeStep::UndoSale);
    changeChart(db, records, number, changed, QStringLiteral("販売の取り消し"), [&] {
        // The buyer's personal data goes everywhere it was kept for this sale.
        db.run(QStringLiteral("UPDATE chart_sale SET buyer_name = '', buyer_address = '', buyer_phone = '' "
                              "WHERE record_number = ?"),
               {number});
        db.run(
            QStringLiteral("DELETE FROM chart_sale WHERE record_number = ? AND microchip = '' AND "
                           "chip_implanted IS NULL AND chip_registered IS NULL AND neutered = 0 AND "
                           "neutered_on IS NULL AND owner = '' AND hereditary = '' AND explained_on IS NULL "
                           "AND breeder_name = '' AND breeder_reg = '' AND seller_name = '' AND "
                           "seller_reg = '' AND chip_certificate_on IS NULL"),
            {number});
        if (present->returnedByBuyer || present->leaving)
            db.run(
                QStringLiteral("UPDATE animal_stay SET sold_on = NULL, price = NULL, price_planned = 0, "
                               "buyer_business = 0, buyer_name = '', buyer_address = '', buyer_phone = '', "
                               "buyer_reg_no = '', buyer_check = '', sold_by = '', explained_on = NULL, "
                               "explained_how = '', microchip = '', chip_registered = 0, "
                               "chip_certificate_on = NULL, no_chip_reason = '' WHERE id = ?"),
                {present->id});
        else
            db.run(QStringLiteral("DELETE FROM animal_stay WHERE id = ?"), {present->id});
    });
}

void AnimalOutcomes::recordLeaving(RecordFile& records, qint32 number, const Leaving& leaving,
                                   Species species)
{
    const PetRecord chart = loadedChart(records, number);
    SaleDatabase db(name, name);
    refuseUnless(presentStay(db, number), LifeStep::Leave);
    changeChart(db, records, number, chart, QStringLiteral("死亡・譲渡"), [&] {
        const qint64 stay = openStay(db, number, chart, species);
        db.run(
            QStringLiteral("UPDATE animal_stay SET left_on = ?, left_kind = ?, left_detail = ? WHERE id = ?"),
            {sqlDate(leaving.leftOn), leaveKindText(leaving.kind), sqlText(leaving.detail), stay});
    });
}

void AnimalOutcomes::recordReturn(RecordFile& records, qint32 number, const QDate& on, const QString& reason)
{
    PetRecord changed = loadedChart(records, number);
    SaleDatabase db(name, name);
    const std::optional<AnimalOutcome> present = presentStay(db, number);
    refuseUnless(present, LifeStep::Return);
    if (!on.isValid() || on < present->sale->soldOn)
        throw Failure(QStringLiteral("返品の日は販売日 %1 より後の日付を入力してください。")
                          .arg(dateText(present->sale->soldOn)));
    // In the shop again: the chart's 販売日 no longer says it was sold.
    setText(changed.SaleDate, QString());
    changeChart(db, records, number, changed, QStringLiteral("返品"), [&] {
        db.run(QStringLiteral("INSERT INTO animal_stay (record_number, species, kind, birth, purchased, "
                              "breeder_name, breeder_reg, seller_name, returned, return_reason) "
                              "VALUES (?, ?, ?, ?, ?, ?, ?, ?, 1, ?)"),
               {number, storedSpecies(present->species), sqlText(present->kind), sqlText(present->birth),
                dateText(on), sqlText(present->breederName), sqlText(present->breederReg),
                sqlText(present->sale->buyerName), sqlText(reason)});
        db.run(QStringLiteral("UPDATE chart_sale SET buyer_name = '', buyer_address = '', buyer_phone = '' "
                              "WHERE record_number = ?"),
               {number});
    });
}

void AnimalOutcomes::deleteChart(RecordFile& records, qint32 number, const PetRecord& blanked,
                                 const QDate& today)
{
    checkRecordNumber(number);
    // Read aside: the shared record stays as it is until the deletion is stored.
    RecordFile reader(records.fileName());
    reader.LoadRecord(number);
    const PetRecord chart = reader.CurrentRecord;
    SaleDatabase db(name, name);
    const QString kind = tableText(chart.Kind);
    changeChart(db, records, number, blanked, QStringLiteral("データ削除"), [&] {
        if (!kind.isEmpty()) {
            // Every item the record book lists stays with the animal's present stay.
            const std::optional<AnimalOutcome> present = presentStay(db, number);
            const qint64 stay =
                present ? present->id : openStay(db, number, chart, speciesOfKind(kind, allSpecies()));
            db.run(QStringLiteral(
                       "UPDATE animal_stay SET (breeder_name, breeder_reg, seller_name, seller_reg) = "
                       "(SELECT breeder_name, breeder_reg, seller_name, seller_reg FROM chart_sale "
                       "WHERE record_number = ?) WHERE id = ? AND EXISTS (SELECT 1 FROM chart_sale "
                       "WHERE record_number = ?)"),
                   {number, stay, number});
            db.run(QStringLiteral("UPDATE animal_stay SET deleted_on = ?, supplier = ?, staff = ?, cost = ?, "
                                  "planned_price = ? WHERE id = ?"),
                   {sqlDate(today), sqlText(tableText(chart.Supplier)), sqlText(tableText(chart.Staff)),
                    sqlText(tableText(chart.PurchaseCost)), sqlText(tableText(chart.PlannedPrice)), stay});
        }
        db.run(QStringLiteral("UPDATE animal_stay SET former_number = record_number, record_number = NULL "
                              "WHERE record_number = ?"),
               {number});
        db.run(QStringLiteral("DELETE FROM chart_sale WHERE record_number = ?"), {number});
    });
}

QStringList AnimalOutcomes::settleUnfinished(RecordFile& records)
{
    QStringList undone;
    if (!QFileInfo::exists(name))
        return undone;
    SaleDatabase db(name, name);
    QSqlQuery query = db.run(
        QStringLiteral("SELECT id, record_number, record_before, record_after, step FROM pending_change"));
    struct Mark
    {
        qint64 id;
        qint32 number;
        QByteArray before;
        QByteArray after;
        QString step;
    };
    QList<Mark> marks;
    while (query.next())
        marks.append({query.value(0).toLongLong(), query.value(1).toInt(), query.value(2).toByteArray(),
                      query.value(3).toByteArray(), query.value(4).toString()});
    checkFinished(query, name);
    for (const Mark& mark : marks) {
        // A record store the kill cut short is finished from its journal first: only then do the
        // record's bytes say whether the change reached it.
        const PetRecord shown = records.CurrentRecord;
        records.LoadRecord(mark.number);
        records.CurrentRecord = shown;
        RecordFile::UndoPoint point = records.undoPoint(mark.number);
        // Only a record that holds the change is put back; one stored since keeps what it holds.
        if (point.bytes == mark.after && !mark.before.isEmpty()) {
            point.bytes = mark.before;
            records.undo(point);
            undone.append(mark.step);
        }
        db.run(QStringLiteral("DELETE FROM pending_change WHERE id = ?"), {mark.id});
    }
    return undone;
}

int AnimalOutcomes::adoptTypedSaleDates(RecordFile& records)
{
    SaleDatabase db(name, name);
    if (db.value(QStringLiteral("SELECT count(*) FROM program_state WHERE key = ?"), {AdoptedKey}).toInt() >
        0)
        return 0;
    const std::vector<PetRecord> all = records.loadAllRecords();
    const QMap<QString, Species> species = allSpecies();
    QSet<qint32> withStay;
    {
        QSqlQuery query =
            db.run(QStringLiteral("SELECT DISTINCT record_number FROM animal_stay s WHERE "
                                  "record_number IS NOT NULL AND id = (SELECT max(id) FROM "
                                  "animal_stay WHERE record_number = s.record_number) AND "
                                  "(sold_on IS NOT NULL OR left_on IS NOT NULL OR returned = 1)"));
        while (query.next())
            withStay.insert(query.value(0).toInt());
        checkFinished(query, name);
    }
    SqliteTransaction transaction(db);
    int adopted = 0;
    for (std::size_t index = 0; index < all.size(); ++index) {
        const PetRecord& record = all[index];
        const qint32 number = qint32(index + 1);
        const QString kind = tableText(record.Kind);
        const QDate soldOn = readShopDate(tableText(record.SaleDate));
        if (kind.isEmpty() || !soldOn.isValid() || withStay.contains(number))
            continue;
        const qint64 stay = openStay(db, number, record, speciesOfKind(kind, species));
        const std::optional<qint64> price = readPrice(tableText(record.PlannedPrice));
        db.run(
            QStringLiteral("UPDATE animal_stay SET sold_on = ?, price = ?, price_planned = 1 WHERE id = ?"),
            {sqlDate(soldOn), price ? QVariant(*price) : QVariant(), stay});
        ++adopted;
    }
    db.run(QStringLiteral("INSERT INTO program_state (key, value) VALUES (?, ?)"),
           {AdoptedKey, QString::number(adopted)});
    transaction.commit();
    return adopted;
}

int AnimalOutcomes::removeExpired(const QDate& today)
{
    const QList<AnimalOutcome> all = outcomes();
    SaleDatabase db(name, name);
    SqliteTransaction transaction(db);
    int removed = 0;
    for (const AnimalOutcome& stay : all) {
        const QDate until = keptUntil(stay);
        if (stay.recordNumber == 0 && until.isValid() && until < today) {
            db.run(QStringLiteral("DELETE FROM animal_stay WHERE id = ?"), {stay.id});
            ++removed;
        }
    }
    transaction.commit();
    return removed;
}
