#include "store/SaleStore.h"

#include "store/DisplayText.h"
#include "store/Failure.h"
#include "store/Microchip.h"
#include "store/RecordFile.h"
#include "store/SaleDatabase.h"
#include "store/SaleSchema.h"
#include "store/ScratchFolder.h"
#include "store/SqliteConnection.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>

#include <algorithm>

namespace {

constexpr int SnapshotBusyTimeoutMs = 300;

const QString ChartSaleColumns = QStringLiteral(
    "microchip, chip_implanted, chip_registered, neutered, neutered_on, owner, hereditary, buyer_name, "
    "buyer_address, buyer_phone, explained_on, animal_kind, animal_birth, animal_purchased, breeder_name, "
    "breeder_reg, seller_name, seller_reg, chip_certificate_on");
const QString BreedTextColumns = QStringLiteral(
    "body_size, lifespan, housing, feeding, exercise, diseases, neutering, breeding_control, regulations");

// The chart_sale columns in ChartSaleColumns order, starting at column `first` of the query's row.
ChartSale chartSaleFrom(const QSqlQuery& query, int first)
{
    ChartSale sale;
    sale.microchip = query.value(first).toString();
    sale.chipImplanted = dateFrom(query.value(first + 1));
    sale.chipRegistered = dateFrom(query.value(first + 2));
    sale.neutered = query.value(first + 3).toInt() != 0;
    sale.neuteredOn = dateFrom(query.value(first + 4));
    sale.owner = query.value(first + 5).toString();
    sale.hereditary = query.value(first + 6).toString();
    sale.buyerName = query.value(first + 7).toString();
    sale.buyerAddress = query.value(first + 8).toString();
    sale.buyerPhone = query.value(first + 9).toString();
    sale.explainedOn = dateFrom(query.value(first + 10));
    if (!query.value(first + 11).isNull())
        sale.animal = SaleAnimal{query.value(first + 11).toString(), query.value(first + 12).toString(),
                                 query.value(first + 13).toString()};
    sale.breederName = query.value(first + 14).toString();
    sale.breederReg = query.value(first + 15).toString();
    sale.sellerName = query.value(first + 16).toString();
    sale.sellerReg = query.value(first + 17).toString();
    sale.chipCertificateOn = dateFrom(query.value(first + 18));
    return sale;
}

BreedTexts breedTextsFrom(const QSqlQuery& query, int first)
{
    BreedTexts texts;
    for (std::size_t i = 0; i < texts.items.size(); ++i)
        texts.items[i] = query.value(first + int(i)).toString();
    return texts;
}

// A snapshot written to a temporary file, checked and brought up to the current version there.
class SnapshotCopy
{
public:
    SnapshotCopy(const QByteArray& bytes, const QString& shownName)
        : path(scratch.filePath(QStringLiteral("snapshot.db")))
    {
        if (!bytes.startsWith(QByteArray("SQLite format 3\0", 16)))
            throw DamagedDatabase(shownName);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
            throw Failure::cannotWrite(path);
        file.close();
        SqliteConnection db(path, shownName);
        if (db.value(QStringLiteral("PRAGMA quick_check")).toString() != QLatin1String("ok"))
            throw DamagedDatabase(shownName);
        SaleSchema::migrate(db);
    }

    ScratchFolder scratch;
    QString path;
};

} // namespace

SaleAnimal SaleAnimal::of(const PetRecord& record)
{
    return {tableText(record.Kind), birthDateText(record), tableText(record.PurchaseDate)};
}

bool ChartSale::isEmpty() const
{
    // Whom it was for says nothing by itself.
    ChartSale blank;
    blank.animal = animal;
    return *this == blank;
}

bool ChartSale::isFor(const PetRecord& record) const
{
    return !animal || *animal == SaleAnimal::of(record);
}

bool ChartSale::hasBuyer() const
{
    return !buyerName.trimmed().isEmpty() || !buyerAddress.trimmed().isEmpty() ||
           !buyerPhone.trimmed().isEmpty();
}

bool BreedTexts::isEmpty() const
{
    return std::all_of(items.cbegin(), items.cend(), [](const QString& text) { return text.isEmpty(); });
}

SaleStore::SaleStore(QString fileName) : name(std::move(fileName))
{
}

// A damaged file would otherwise stand in the way of everything that touches it: deleting a chart,
// every backup and every restore. It is renamed with its log, its bytes kept for whoever can repair
// it, and the next call starts a new database; this call fails, saying so.
template <typename Work> auto SaleStore::settingDamageAside(Work work) const -> decltype(work())
{
    try {
        return work();
    } catch (const DamagedDatabase& damage) {
        if (damage.fileName() != name)
            throw;
        throw setAside(damage);
    }
}

Failure SaleStore::setAside(const DamagedDatabase& damage) const
{
    const QFileInfo file(name);
    const QString kept = file.dir().filePath(
        QStringLiteral("%1-damaged-%2.%3")
            .arg(file.completeBaseName(),
                 QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")), file.suffix()));
    const QString log = QStringLiteral("-wal");
    // The log goes first: left behind, it would be replayed into the new database.
    const bool hasLog = QFileInfo::exists(name + log);
    if (QFileInfo::exists(kept) || (hasLog && !QFile::rename(name + log, kept + log)))
        return damage;
    if (!QFile::rename(name, kept)) {
        if (hasLog)
            QFile::rename(kept + log, name + log);
        return damage;
    }
    QFile::rename(name + QStringLiteral("-shm"), kept + QStringLiteral("-shm"));
    return Failure(QStringLiteral("データベースが壊れていたため、%2 という名前に変えて残しました。"
                                  "もう一度操作すると、新しいデータベースで続けます。 (%1)")
                       .arg(damage.fileName(), QFileInfo(kept).fileName()));
}

void SaleStore::open() const
{
    settingDamageAside([&] { SaleDatabase db(name, name); });
}

ChartSale SaleStore::chartSale(qint32 number) const
{
    return settingDamageAside([&]() -> ChartSale {
        SaleDatabase db(name, name);
        QSqlQuery query =
            db.run(QStringLiteral("SELECT %1 FROM chart_sale WHERE record_number = ?").arg(ChartSaleColumns),
                   {number});
        const ChartSale sale = query.next() ? chartSaleFrom(query, 0) : ChartSale();
        checkFinished(query, name);
        return sale;
    });
}

QMap<qint32, ChartSale> SaleStore::chartSales() const
{
    return settingDamageAside([&]() -> QMap<qint32, ChartSale> {
        SaleDatabase db(name, name);
        QSqlQuery query =
            db.run(QStringLiteral("SELECT record_number, %1 FROM chart_sale").arg(ChartSaleColumns));
        QMap<qint32, ChartSale> sales;
        while (query.next())
            sales.insert(query.value(0).toInt(), chartSaleFrom(query, 1));
        checkFinished(query, name);
        return sales;
    });
}

void SaleStore::saveChartSale(qint32 number, const ChartSale& sale)
{
    settingDamageAside([&] {
        checkRecordNumber(number);
        ChartSale stored = sale;
        stored.microchip = Microchip::normalized(sale.microchip);

        SaleDatabase db(name, name);
        if (stored.isEmpty()) {
            db.run(QStringLiteral("DELETE FROM chart_sale WHERE record_number = ?"), {number});
            return;
        }
        db.run(QStringLiteral("INSERT OR REPLACE INTO chart_sale (record_number, %1) "
                              "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                   .arg(ChartSaleColumns),
               {number,
                stored.microchip,
                sqlDate(stored.chipImplanted),
                sqlDate(stored.chipRegistered),
                stored.neutered ? 1 : 0,
                sqlDate(stored.neuteredOn),
                sqlText(stored.owner),
                sqlText(stored.hereditary),
                sqlText(stored.buyerName),
                sqlText(stored.buyerAddress),
                sqlText(stored.buyerPhone),
                sqlDate(stored.explainedOn),
                stored.animal ? sqlText(stored.animal->kind) : QVariant(),
                stored.animal ? sqlText(stored.animal->birth) : QVariant(),
                stored.animal ? sqlText(stored.animal->purchased) : QVariant(),
                sqlText(stored.breederName),
                sqlText(stored.breederReg),
                sqlText(stored.sellerName),
                sqlText(stored.sellerReg),
                sqlDate(stored.chipCertificateOn)});
    });
}

std::optional<qint32> SaleStore::chartWithMicrochip(const QString& microchip, qint32 exceptNumber) const
{
    return settingDamageAside([&]() -> std::optional<qint32> {
        const QString number = Microchip::normalized(microchip);
        if (number.isEmpty())
            return std::nullopt;
        SaleDatabase db(name, name);
        // The index holds only charts with a number; the query says so, or SQLite would not use it.
        const QVariant other =
            db.value(QStringLiteral("SELECT min(record_number) FROM chart_sale "
                                    "WHERE microchip = ? AND microchip <> '' AND record_number <> ?"),
                     {number, exceptNumber});
        return other.isNull() ? std::nullopt : std::optional<qint32>(other.toInt());
    });
}

BreedTexts SaleStore::breedTexts(const QString& kind) const
{
    return textsOf(QStringLiteral("breed_text"), QStringLiteral("kind"), kind);
}

BreedTexts SaleStore::speciesTexts(const QString& species) const
{
    return textsOf(QStringLiteral("species_text"), QStringLiteral("species"), species);
}

// Table and key column are the program's own constants.
BreedTexts SaleStore::textsOf(const QString& table, const QString& keyColumn, const QString& key) const
{
    return settingDamageAside([&]() -> BreedTexts {
        SaleDatabase db(name, name);
        QSqlQuery query =
            db.run(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(BreedTextColumns, table, keyColumn),
                   {sqlText(key)});
        const BreedTexts texts = query.next() ? breedTextsFrom(query, 0) : BreedTexts();
        checkFinished(query, name);
        return texts;
    });
}

BreedTexts SaleStore::breedTextsForChart(const PetRecord& record) const
{
    return settingDamageAside([&]() -> BreedTexts {
        const QString shown = tableText(record.Kind);
        if (shown.isEmpty())
            return {};
        SaleDatabase db(name, name);
        QSqlQuery query =
            db.run(QStringLiteral("SELECT kind, %1 FROM breed_text ORDER BY kind").arg(BreedTextColumns));
        std::optional<BreedTexts> found;
        while (query.next()) {
            const QString kind = query.value(0).toString();
            if (kind == shown)
                return breedTextsFrom(query, 1);
            if (!found && withoutTrailingSpaces(
                              Sjis::shownText(Sjis::fitField(kind, int(sizeof record.Kind)))) == shown)
                found = breedTextsFrom(query, 1);
        }
        checkFinished(query, name);
        return found.value_or(BreedTexts());
    });
}

void SaleStore::saveBreedTexts(const QString& kind, const BreedTexts& texts)
{
    saveTexts(QStringLiteral("breed_text"), QStringLiteral("kind"), kind, texts);
}

void SaleStore::saveSpeciesTexts(const QString& species, const BreedTexts& texts)
{
    saveTexts(QStringLiteral("species_text"), QStringLiteral("species"), species, texts);
}

void SaleStore::saveTexts(const QString& table, const QString& keyColumn, const QString& key,
                          const BreedTexts& texts)
{
    settingDamageAside([&] {
        SaleDatabase db(name, name);
        if (texts.isEmpty()) {
            db.run(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(table, keyColumn), {sqlText(key)});
            return;
        }
        QVariantList values{sqlText(key)};
        for (const QString& text : texts.items)
            values.append(sqlText(text));
        db.run(QStringLiteral("INSERT OR REPLACE INTO %1 (%2, %3) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                   .arg(table, keyColumn, BreedTextColumns),
               values);
    });
}

DealerInfo SaleStore::dealerInfo() const
{
    return settingDamageAside([&]() -> DealerInfo {
        SaleDatabase db(name, name);
        QSqlQuery query =
            db.run(QStringLiteral("SELECT registration_number, animal_handler FROM dealer WHERE id = 1"));
        DealerInfo dealer;
        if (query.next()) {
            dealer.registrationNumber = query.value(0).toString();
            dealer.animalHandler = query.value(1).toString();
        }
        checkFinished(query, name);
        return dealer;
    });
}

void SaleStore::saveDealerInfo(const DealerInfo& dealer)
{
    settingDamageAside([&] {
        SaleDatabase db(name, name);
        db.run(
            QStringLiteral(
                "INSERT OR REPLACE INTO dealer (id, registration_number, animal_handler) VALUES (1, ?, ?)"),
            {sqlText(dealer.registrationNumber), sqlText(dealer.animalHandler)});
    });
}

void SaleStore::snapshot(const QString& path) const
{
    // A backup does not wait long for another program's lock: it goes on without this file.
    SaleDatabase db(name, name, SnapshotBusyTimeoutMs);
    db.run(QStringLiteral("VACUUM INTO ?"), {path});
}

void SaleStore::checkSnapshot(const QByteArray& bytes) const
{
    SnapshotCopy copy(bytes, backupName());
}

void SaleStore::restoreSnapshot(const QByteArray& bytes)
{
    settingDamageAside([&] {
        const SnapshotCopy copy(bytes, backupName());
        SaleDatabase db(name, name);
        db.run(QStringLiteral("ATTACH DATABASE ? AS snapshot"), {copy.path});
        SqliteTransaction transaction(db);
        // Table and column names are the program's own constants, never typed text.
        for (const SaleSchema::Table& table : SaleSchema::tables()) {
            const QString columns = table.columns.join(QStringLiteral(", "));
            db.run(QStringLiteral("DELETE FROM main.%1").arg(table.name));
            db.run(QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM snapshot.%1")
                       .arg(table.name, columns));
        }
        transaction.commit();
    });
}

QString SaleStore::backupName() const
{
    return QStringLiteral("バックアップの %1").arg(name);
}
