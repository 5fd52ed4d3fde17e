#include "store/AnimalOutcomes.h"

#include "store/DisplayText.h"
#include "store/Failure.h"
#include "store/Microchip.h"
#include "store/RecordFile.h"
#include "store/SaleDatabase.h"
#include "store/Sjis.h"
#include "store/SqliteConnection.h"

#include <QSqlError>

#include <algorithm>

namespace {

const QString OutcomeColumns = QStringLiteral(
    "record_number, species, kind, birth, purchased, sold_on, price, buyer_business, buyer_name, "
    "buyer_address, buyer_phone, buyer_reg_no, buyer_check, sold_by, explained_on, explained_how, microchip, "
    "chip_registered, left_on, left_kind, left_detail, breeder_name, breeder_reg, seller_name, seller_reg");

Species speciesFrom(const QString& text)
{
    if (text == speciesText(Species::Dog))
        return Species::Dog;
    if (text == speciesText(Species::Cat))
        return Species::Cat;
    return Species::Other;
}

QString storedSpecies(Species species)
{
    return species == Species::Other ? QString(QLatin1String("")) : speciesText(species);
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
    AnimalOutcome outcome;
    outcome.recordNumber = query.value(0).toInt();
    outcome.species = speciesFrom(query.value(1).toString());
    outcome.kind = query.value(2).toString();
    outcome.birth = query.value(3).toString();
    outcome.purchased = query.value(4).toString();
    if (!query.value(5).isNull()) {
        Sale sale;
        sale.soldOn = dateFrom(query.value(5));
        if (!query.value(6).isNull())
            sale.price = query.value(6).toLongLong();
        sale.businessBuyer = query.value(7).toInt() != 0;
        sale.buyerName = query.value(8).toString();
        sale.buyerAddress = query.value(9).toString();
        sale.buyerPhone = query.value(10).toString();
        sale.buyerRegNo = query.value(11).toString();
        sale.buyerCheck = query.value(12).toString();
        sale.soldBy = query.value(13).toString();
        sale.explainedOn = dateFrom(query.value(14));
        sale.explainedHow = query.value(15).toString();
        sale.microchip = query.value(16).toString();
        sale.chipRegistered = query.value(17).toInt() != 0;
        outcome.sale = sale;
    }
    if (!query.value(18).isNull())
        outcome.leaving = Leaving{dateFrom(query.value(18)), leaveKindFrom(query.value(19).toString()),
                                  query.value(20).toString()};
    outcome.breederName = query.value(21).toString();
    outcome.breederReg = query.value(22).toString();
    outcome.sellerName = query.value(23).toString();
    outcome.sellerReg = query.value(24).toString();
    return outcome;
}

// The row of chart `number`, made when missing, with what the chart says of the animal now.
void keepAnimal(SaleDatabase& db, qint32 number, const PetRecord& record, Species species)
{
    db.run(QStringLiteral("INSERT INTO animal_outcome (record_number, species, kind, birth, purchased) "
                          "VALUES (?, ?, ?, ?, ?) ON CONFLICT (record_number) DO UPDATE SET "
                          "species = excluded.species, kind = excluded.kind, birth = excluded.birth, "
                          "purchased = excluded.purchased"),
           {number, sqlText(storedSpecies(species)), sqlText(tableText(record.Kind)),
            sqlText(birthDateText(record)), sqlText(tableText(record.PurchaseDate))});
}

PetRecord loadedChart(RecordFile& records, qint32 number)
{
    checkRecordNumber(number);
    records.LoadRecord(number);
    if (shownText(records.CurrentRecord.Kind).isEmpty())
        throw Failure(QStringLiteral("このカルテには動物が入力されていません。"));
    return records.CurrentRecord;
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
        break;
    }
    return QStringLiteral("その他");
}

Species proposedSpecies(const QString& kind)
{
    static const QStringList dogWords{
        QStringLiteral("犬"),         QStringLiteral("プードル"),     QStringLiteral("チワワ"),
        QStringLiteral("ダックス"),   QStringLiteral("ポメラニアン"), QStringLiteral("テリア"),
        QStringLiteral("シーズー"),   QStringLiteral("パピヨン"),     QStringLiteral("マルチーズ"),
        QStringLiteral("コーギー"),   QStringLiteral("レトリーバー"), QStringLiteral("スパニエル"),
        QStringLiteral("ブルドッグ"), QStringLiteral("シュナウザー"), QStringLiteral("ビーグル"),
        QStringLiteral("パグ"),       QStringLiteral("ドッグ")};
    static const QStringList catWords{
        QStringLiteral("猫"),           QStringLiteral("ネコ"),           QStringLiteral("キャット"),
        QStringLiteral("ショートヘア"), QStringLiteral("ロングヘア"),     QStringLiteral("スコティッシュ"),
        QStringLiteral("マンチカン"),   QStringLiteral("ラグドール"),     QStringLiteral("メインクーン"),
        QStringLiteral("ペルシャ"),     QStringLiteral("ロシアンブルー"), QStringLiteral("ノルウェージャン"),
        QStringLiteral("アビシニアン"), QStringLiteral("ベンガル"),       QStringLiteral("シャム")};
    const QString folded = kind.normalized(QString::NormalizationForm_KC);
    const auto names = [&](const QStringList& words) {
        return std::any_of(words.cbegin(), words.cend(),
                           [&](const QString& word) { return folded.contains(word); });
    };
    if (names(catWords))
        return Species::Cat;
    if (names(dogWords))
        return Species::Dog;
    return Species::Other;
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
    return Species::Other;
}

QDate firstSaleDay(const QDate& birth)
{
    return birth.addDays(57);
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
        if (*kind == Species::Other)
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
    return shown.isEmpty() ? Species::Other : speciesOfKind(shown, allSpecies());
}

std::optional<AnimalOutcome> AnimalOutcomes::outcome(qint32 number) const
{
    SaleDatabase db(name, name);
    QSqlQuery query =
        db.run(QStringLiteral("SELECT %1 FROM animal_outcome WHERE record_number = ?").arg(OutcomeColumns),
               {number});
    std::optional<AnimalOutcome> found;
    if (query.next())
        found = outcomeFrom(query);
    checkFinished(query, name);
    return found;
}

QList<AnimalOutcome> AnimalOutcomes::outcomes() const
{
    SaleDatabase db(name, name);
    QSqlQuery query = db.run(
        QStringLiteral("SELECT %1 FROM animal_outcome ORDER BY record_number, id").arg(OutcomeColumns));
    QList<AnimalOutcome> all;
    while (query.next())
        all.append(outcomeFrom(query));
    checkFinished(query, name);
    return all;
}

void AnimalOutcomes::recordSale(RecordFile& records, qint32 number, const Sale& sale, Species species)
{
    const QVariant chip = sqlText(Microchip::normalized(sale.microchip));
    PetRecord changed = loadedChart(records, number);
    setText(changed.SaleDate, sale.soldOn.toString(QStringLiteral("yyyy/MM/dd")));

    SaleDatabase db(name, name);
    SqliteTransaction transaction(db);
    db.run(QStringLiteral("INSERT INTO chart_sale (record_number, microchip, buyer_name, buyer_address, "
                          "buyer_phone, explained_on) VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT (record_number) "
                          "DO UPDATE SET microchip = excluded.microchip, buyer_name = excluded.buyer_name, "
                          "buyer_address = excluded.buyer_address, buyer_phone = excluded.buyer_phone, "
                          "explained_on = excluded.explained_on"),
           {number, chip, sqlText(sale.buyerName), sqlText(sale.buyerAddress), sqlText(sale.buyerPhone),
            sqlDate(sale.explainedOn)});
    keepAnimal(db, number, changed, species);
    db.run(QStringLiteral(
               "UPDATE animal_outcome SET sold_on = ?, price = ?, buyer_business = ?, buyer_name = ?, "
               "buyer_address = ?, buyer_phone = ?, buyer_reg_no = ?, buyer_check = ?, sold_by = ?, "
               "explained_on = ?, explained_how = ?, microchip = ?, chip_registered = ? "
               "WHERE record_number = ?"),
           {sqlDate(sale.soldOn), sale.price ? QVariant(*sale.price) : QVariant(), sale.businessBuyer ? 1 : 0,
            sqlText(sale.buyerName), sqlText(sale.buyerAddress), sqlText(sale.buyerPhone),
            sqlText(sale.buyerRegNo), sqlText(sale.buyerCheck), sqlText(sale.soldBy),
            sqlDate(sale.explainedOn), sqlText(sale.explainedHow), chip, sale.chipRegistered ? 1 : 0,
            number});
    storeAndCommit(records, number, changed, transaction);
}

void AnimalOutcomes::undoSale(RecordFile& records, qint32 number)
{
    PetRecord changed = loadedChart(records, number);
    setText(changed.SaleDate, QString());

    SaleDatabase db(name, name);
    SqliteTransaction transaction(db);
    db.run(QStringLiteral("UPDATE animal_outcome SET sold_on = NULL, price = NULL, buyer_business = 0, "
                          "buyer_name = '', buyer_address = '', buyer_phone = '', buyer_reg_no = '', "
                          "buyer_check = '', sold_by = '', explained_on = NULL, explained_how = '', "
                          "microchip = '', chip_registered = 0 WHERE record_number = ?"),
           {number});
    db.run(QStringLiteral("DELETE FROM animal_outcome WHERE record_number = ? AND left_on IS NULL"),
           {number});
    storeAndCommit(records, number, changed, transaction);
}

void AnimalOutcomes::recordLeaving(qint32 number, const PetRecord& record, const Leaving& leaving,
                                   Species species)
{
    checkRecordNumber(number);
    SaleDatabase db(name, name);
    SqliteTransaction transaction(db);
    keepAnimal(db, number, record, species);
    db.run(QStringLiteral("UPDATE animal_outcome SET left_on = ?, left_kind = ?, left_detail = ? "
                          "WHERE record_number = ?"),
           {sqlDate(leaving.leftOn), leaveKindText(leaving.kind), sqlText(leaving.detail), number});
    transaction.commit();
}
