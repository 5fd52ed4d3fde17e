#include "store/SaleSchema.h"

#include "store/Failure.h"
#include "store/SqliteConnection.h"

namespace SaleSchema {

namespace {

// The statements that take a file from version n to n + 1, at index n. Released steps never change:
// files out in the shops were made by them.
const QList<QStringList>& steps()
{
    static const QList<QStringList> all = {
        {
            QStringLiteral("CREATE TABLE chart_sale ("
                           " record_number INTEGER PRIMARY KEY CHECK (record_number BETWEEN 1 AND 32767),"
                           " microchip TEXT NOT NULL DEFAULT '' CHECK (microchip = '' OR"
                           "  (length(microchip) = 15 AND microchip NOT GLOB '*[^0-9]*')),"
                           " chip_implanted TEXT,"
                           " chip_registered TEXT,"
                           " neutered INTEGER NOT NULL DEFAULT 0 CHECK (neutered IN (0, 1)),"
                           " neutered_on TEXT,"
                           " owner TEXT NOT NULL DEFAULT '',"
                           " hereditary TEXT NOT NULL DEFAULT '',"
                           " buyer_name TEXT NOT NULL DEFAULT '',"
                           " buyer_address TEXT NOT NULL DEFAULT '',"
                           " buyer_phone TEXT NOT NULL DEFAULT '',"
                           " explained_on TEXT)"),
            QStringLiteral("CREATE TABLE breed_text ("
                           " kind TEXT PRIMARY KEY,"
                           " body_size TEXT NOT NULL DEFAULT '',"
                           " lifespan TEXT NOT NULL DEFAULT '',"
                           " housing TEXT NOT NULL DEFAULT '',"
                           " feeding TEXT NOT NULL DEFAULT '',"
                           " exercise TEXT NOT NULL DEFAULT '',"
                           " diseases TEXT NOT NULL DEFAULT '',"
                           " neutering TEXT NOT NULL DEFAULT '',"
                           " breeding_control TEXT NOT NULL DEFAULT '',"
                           " regulations TEXT NOT NULL DEFAULT '')"),
        },
        {
            QStringLiteral("CREATE TABLE dealer ("
                           " id INTEGER PRIMARY KEY CHECK (id = 1),"
                           " registration_number TEXT NOT NULL DEFAULT '',"
                           " animal_handler TEXT NOT NULL DEFAULT '')"),
            QStringLiteral(
                "CREATE INDEX chart_sale_microchip ON chart_sale (microchip) WHERE microchip <> ''"),
        },
        {
            QStringLiteral("ALTER TABLE chart_sale ADD COLUMN animal_kind TEXT"),
            QStringLiteral("ALTER TABLE chart_sale ADD COLUMN animal_birth TEXT"),
            QStringLiteral("ALTER TABLE chart_sale ADD COLUMN animal_purchased TEXT"),
        },
        {
            QStringLiteral("ALTER TABLE chart_sale ADD COLUMN breeder_name TEXT NOT NULL DEFAULT ''"),
            QStringLiteral("ALTER TABLE chart_sale ADD COLUMN breeder_reg TEXT NOT NULL DEFAULT ''"),
            QStringLiteral("ALTER TABLE chart_sale ADD COLUMN seller_name TEXT NOT NULL DEFAULT ''"),
            QStringLiteral("ALTER TABLE chart_sale ADD COLUMN seller_reg TEXT NOT NULL DEFAULT ''"),
            QStringLiteral("CREATE TABLE breed_species ("
                           " kind TEXT PRIMARY KEY,"
                           " species TEXT NOT NULL CHECK (species IN ('犬', '猫')))"),
            // The texts a dog, a cat or another animal gets where its kind has none of its own.
            QStringLiteral("CREATE TABLE species_text ("
                           " species TEXT PRIMARY KEY CHECK (species IN ('犬', '猫', 'その他')),"
                           " body_size TEXT NOT NULL DEFAULT '',"
                           " lifespan TEXT NOT NULL DEFAULT '',"
                           " housing TEXT NOT NULL DEFAULT '',"
                           " feeding TEXT NOT NULL DEFAULT '',"
                           " exercise TEXT NOT NULL DEFAULT '',"
                           " diseases TEXT NOT NULL DEFAULT '',"
                           " neutering TEXT NOT NULL DEFAULT '',"
                           " breeding_control TEXT NOT NULL DEFAULT '',"
                           " regulations TEXT NOT NULL DEFAULT '')"),
            // One row per animal that was sold or left the shop. A cleared chart's row loses its record
            // number but stays, with what the chart said of the animal, for the record book.
            QStringLiteral("CREATE TABLE animal_outcome ("
                           " id INTEGER PRIMARY KEY,"
                           " record_number INTEGER UNIQUE CHECK (record_number BETWEEN 1 AND 32767),"
                           " species TEXT NOT NULL DEFAULT '',"
                           " kind TEXT NOT NULL DEFAULT '',"
                           " birth TEXT NOT NULL DEFAULT '',"
                           " purchased TEXT NOT NULL DEFAULT '',"
                           " sold_on TEXT,"
                           " price INTEGER,"
                           " buyer_business INTEGER NOT NULL DEFAULT 0 CHECK (buyer_business IN (0, 1)),"
                           " buyer_name TEXT NOT NULL DEFAULT '',"
                           " buyer_address TEXT NOT NULL DEFAULT '',"
                           " buyer_phone TEXT NOT NULL DEFAULT '',"
                           " buyer_reg_no TEXT NOT NULL DEFAULT '',"
                           " buyer_check TEXT NOT NULL DEFAULT '',"
                           " sold_by TEXT NOT NULL DEFAULT '',"
                           " explained_on TEXT,"
                           " explained_how TEXT NOT NULL DEFAULT '',"
                           " microchip TEXT NOT NULL DEFAULT '',"
                           " chip_registered INTEGER NOT NULL DEFAULT 0 CHECK (chip_registered IN (0, 1)),"
                           " left_on TEXT,"
                           " left_kind TEXT CHECK (left_kind IN ('死亡', '譲渡・引渡し', '返品')),"
                           " left_detail TEXT NOT NULL DEFAULT '',"
                           " breeder_name TEXT NOT NULL DEFAULT '',"
                           " breeder_reg TEXT NOT NULL DEFAULT '',"
                           " seller_name TEXT NOT NULL DEFAULT '',"
                           " seller_reg TEXT NOT NULL DEFAULT '')"),
            // When a medication of the pick list falls due: first at an age, then every so many days,
            // up to a number of doses. A name without a row has no plan.
            QStringLiteral("CREATE TABLE care_plan ("
                           " medication TEXT PRIMARY KEY,"
                           " interval_days INTEGER CHECK (interval_days BETWEEN 1 AND 3650),"
                           " first_age_days INTEGER CHECK (first_age_days BETWEEN 0 AND 3650),"
                           " doses INTEGER CHECK (doses BETWEEN 1 AND 99))"),
            // The overview's marks for animals getting old for sale.
            QStringLiteral("CREATE TABLE stock_limit ("
                           " id INTEGER PRIMARY KEY CHECK (id = 1),"
                           " age_days INTEGER NOT NULL CHECK (age_days BETWEEN 1 AND 3650),"
                           " stock_days INTEGER NOT NULL CHECK (stock_days BETWEEN 1 AND 3650))"),
        },
        {
            // One row per stay of an animal in the shop: a customer's return starts a new stay of the same
            // chart, so a record number may now have several rows; the newest is the animal's present.
            QStringLiteral("CREATE TABLE animal_stay ("
                           " id INTEGER PRIMARY KEY,"
                           " record_number INTEGER CHECK (record_number BETWEEN 1 AND 32767),"
                           " species TEXT NOT NULL DEFAULT '' CHECK (species IN ('', '犬', '猫', 'その他')),"
                           " kind TEXT NOT NULL DEFAULT '',"
                           " birth TEXT NOT NULL DEFAULT '',"
                           " purchased TEXT NOT NULL DEFAULT '',"
                           " sold_on TEXT,"
                           " price INTEGER,"
                           " price_planned INTEGER NOT NULL DEFAULT 0 CHECK (price_planned IN (0, 1)),"
                           " buyer_business INTEGER NOT NULL DEFAULT 0 CHECK (buyer_business IN (0, 1)),"
                           " buyer_name TEXT NOT NULL DEFAULT '',"
                           " buyer_address TEXT NOT NULL DEFAULT '',"
                           " buyer_phone TEXT NOT NULL DEFAULT '',"
                           " buyer_reg_no TEXT NOT NULL DEFAULT '',"
                           " buyer_check TEXT NOT NULL DEFAULT '',"
                           " sold_by TEXT NOT NULL DEFAULT '',"
                           " explained_on TEXT,"
                           " explained_how TEXT NOT NULL DEFAULT '',"
                           " microchip TEXT NOT NULL DEFAULT '',"
                           " chip_registered INTEGER NOT NULL DEFAULT 0 CHECK (chip_registered IN (0, 1)),"
                           " chip_certificate_on TEXT,"
                           " no_chip_reason TEXT NOT NULL DEFAULT '',"
                           " left_on TEXT,"
                           " left_kind TEXT CHECK (left_kind IN ('死亡', '譲渡・引渡し', '返品')),"
                           " left_detail TEXT NOT NULL DEFAULT '',"
                           " breeder_name TEXT NOT NULL DEFAULT '',"
                           " breeder_reg TEXT NOT NULL DEFAULT '',"
                           " seller_name TEXT NOT NULL DEFAULT '',"
                           " seller_reg TEXT NOT NULL DEFAULT '',"
                           " returned INTEGER NOT NULL DEFAULT 0 CHECK (returned IN (0, 1)),"
                           " return_reason TEXT NOT NULL DEFAULT '',"
                           " former_number INTEGER,"
                           " deleted_on TEXT,"
                           " supplier TEXT NOT NULL DEFAULT '',"
                           " staff TEXT NOT NULL DEFAULT '',"
                           " cost TEXT NOT NULL DEFAULT '',"
                           " planned_price TEXT NOT NULL DEFAULT '',"
                           " CHECK (sold_on IS NULL OR left_on IS NULL))"),
            // A species of '' in version 4 meant "not a dog or cat" by default; it is now 未設定, to be
            // decided by the shop. A row with both a sale and a departure keeps the first of the two.
            QStringLiteral(
                "INSERT INTO animal_stay (id, record_number, species, kind, birth, purchased, sold_on,"
                " price, buyer_business, buyer_name, buyer_address, buyer_phone, buyer_reg_no,"
                " buyer_check, sold_by, explained_on, explained_how, microchip, chip_registered,"
                " left_on, left_kind, left_detail, breeder_name, breeder_reg, seller_name,"
                " seller_reg, former_number)"
                " SELECT id, record_number, species, kind, birth, purchased,"
                "  CASE WHEN left_on IS NOT NULL AND left_on < sold_on THEN NULL ELSE sold_on END,"
                "  price, buyer_business, buyer_name, buyer_address, buyer_phone, buyer_reg_no,"
                "  buyer_check, sold_by, explained_on, explained_how, microchip, chip_registered,"
                "  CASE WHEN sold_on IS NOT NULL AND sold_on <= left_on THEN NULL ELSE left_on END,"
                "  CASE WHEN sold_on IS NOT NULL AND sold_on <= left_on THEN NULL ELSE left_kind END,"
                "  left_detail, breeder_name, breeder_reg, seller_name, seller_reg, record_number"
                " FROM animal_outcome"),
            QStringLiteral("DROP TABLE animal_outcome"),
            QStringLiteral("CREATE INDEX animal_stay_chart ON animal_stay (record_number)"),
            QStringLiteral("CREATE TABLE breed_species_new ("
                           " kind TEXT PRIMARY KEY,"
                           " species TEXT NOT NULL CHECK (species IN ('犬', '猫', 'その他')))"),
            QStringLiteral("INSERT INTO breed_species_new SELECT kind, species FROM breed_species"),
            QStringLiteral("DROP TABLE breed_species"),
            QStringLiteral("ALTER TABLE breed_species_new RENAME TO breed_species"),
            QStringLiteral("ALTER TABLE chart_sale ADD COLUMN chip_certificate_on TEXT"),
            // A change to a chart and its stay, committed before the record is touched and removed in the
            // transaction that makes the change: a row found at start means the change never committed,
            // and a record that holds the change's bytes gets its old bytes back.
            QStringLiteral("CREATE TABLE pending_change ("
                           " id INTEGER PRIMARY KEY,"
                           " record_number INTEGER NOT NULL CHECK (record_number BETWEEN 1 AND 32767),"
                           " record_before BLOB NOT NULL,"
                           " record_after BLOB NOT NULL,"
                           " step TEXT NOT NULL)"),
            // What the program has done once to a shop's data, by name.
            QStringLiteral("CREATE TABLE program_state ("
                           " key TEXT PRIMARY KEY,"
                           " value TEXT NOT NULL DEFAULT '')"),
            // The animals a care plan is for (a plan of an earlier version is for every animal), and the
            // plans it replaces, one name a line.
            QStringLiteral("ALTER TABLE care_plan ADD COLUMN species TEXT NOT NULL DEFAULT 'すべて'"
                           " CHECK (species IN ('すべて', '犬', '猫', 'その他'))"),
            QStringLiteral("ALTER TABLE care_plan ADD COLUMN replaces TEXT NOT NULL DEFAULT ''"),
        },
    };
    Q_ASSERT(all.size() == Version);
    return all;
}

Failure newerVersion(const SqliteConnection& db)
{
    return Failure(
        QStringLiteral("新しいバージョンのソラニカで作られたデータベースです。 (%1)").arg(db.shownName()));
}

// The file's version, refused when this program cannot work with it.
int versionOf(SqliteConnection& db)
{
    const int version = db.value(QStringLiteral("PRAGMA user_version")).toInt();
    if (version > Version)
        throw newerVersion(db);
    if (version < 0)
        throw DamagedDatabase(db.shownName());
    return version;
}

} // namespace

void migrate(SqliteConnection& db, int upTo)
{
    Q_ASSERT(upTo >= 1 && upTo <= Version);
    // A file this program cannot use is refused before anything in it changes.
    const int version = versionOf(db);
    db.useWriteAheadLog();
    if (version >= upTo)
        return;
    SqliteTransaction transaction(db);
    // Read again under the write lock: another program may have migrated the file meanwhile.
    for (int step = versionOf(db); step < upTo; ++step) {
        for (const QString& statement : steps().at(step))
            db.run(statement);
    }
    // A pragma takes no bound value; the number is the program's own.
    db.run(QStringLiteral("PRAGMA user_version = %1").arg(upTo));
    transaction.commit();
}

QList<Table> tables(int version)
{
    static const QList<Table> all = {
        {QStringLiteral("chart_sale"), {QStringLiteral("record_number"),
                                        QStringLiteral("microchip"),
                                        QStringLiteral("chip_implanted"),
                                        QStringLiteral("chip_registered"),
                                        QStringLiteral("neutered"),
                                        QStringLiteral("neutered_on"),
                                        QStringLiteral("owner"),
                                        QStringLiteral("hereditary"),
                                        QStringLiteral("buyer_name"),
                                        QStringLiteral("buyer_address"),
                                        QStringLiteral("buyer_phone"),
                                        QStringLiteral("explained_on"),
                                        QStringLiteral("animal_kind"),
                                        QStringLiteral("animal_birth"),
                                        QStringLiteral("animal_purchased"),
                                        QStringLiteral("breeder_name"),
                                        QStringLiteral("breeder_reg"),
                                        QStringLiteral("seller_name"),
                                        QStringLiteral("seller_reg"),
                                        QStringLiteral("chip_certificate_on")}},
        {QStringLiteral("breed_text"),
         {QStringLiteral("kind"), QStringLiteral("body_size"), QStringLiteral("lifespan"),
          QStringLiteral("housing"), QStringLiteral("feeding"), QStringLiteral("exercise"),
          QStringLiteral("diseases"), QStringLiteral("neutering"), QStringLiteral("breeding_control"),
          QStringLiteral("regulations")}},
        {QStringLiteral("dealer"),
         {QStringLiteral("id"), QStringLiteral("registration_number"), QStringLiteral("animal_handler")},
         2},
        {QStringLiteral("breed_species"), {QStringLiteral("kind"), QStringLiteral("species")}, 4},
        {QStringLiteral("species_text"),
         {QStringLiteral("species"), QStringLiteral("body_size"), QStringLiteral("lifespan"),
          QStringLiteral("housing"), QStringLiteral("feeding"), QStringLiteral("exercise"),
          QStringLiteral("diseases"), QStringLiteral("neutering"), QStringLiteral("breeding_control"),
          QStringLiteral("regulations")},
         4},
        {QStringLiteral("animal_stay"),
         {QStringLiteral("id"),
          QStringLiteral("record_number"),
          QStringLiteral("species"),
          QStringLiteral("kind"),
          QStringLiteral("birth"),
          QStringLiteral("purchased"),
          QStringLiteral("sold_on"),
          QStringLiteral("price"),
          QStringLiteral("price_planned"),
          QStringLiteral("buyer_business"),
          QStringLiteral("buyer_name"),
          QStringLiteral("buyer_address"),
          QStringLiteral("buyer_phone"),
          QStringLiteral("buyer_reg_no"),
          QStringLiteral("buyer_check"),
          QStringLiteral("sold_by"),
          QStringLiteral("explained_on"),
          QStringLiteral("explained_how"),
          QStringLiteral("microchip"),
          QStringLiteral("chip_registered"),
          QStringLiteral("chip_certificate_on"),
          QStringLiteral("no_chip_reason"),
          QStringLiteral("left_on"),
          QStringLiteral("left_kind"),
          QStringLiteral("left_detail"),
          QStringLiteral("breeder_name"),
          QStringLiteral("breeder_reg"),
          QStringLiteral("seller_name"),
          QStringLiteral("seller_reg"),
          QStringLiteral("returned"),
          QStringLiteral("return_reason"),
          QStringLiteral("former_number"),
          QStringLiteral("deleted_on"),
          QStringLiteral("supplier"),
          QStringLiteral("staff"),
          QStringLiteral("cost"),
          QStringLiteral("planned_price")},
         5},
        {QStringLiteral("pending_change"),
         {QStringLiteral("id"), QStringLiteral("record_number"), QStringLiteral("record_before"),
          QStringLiteral("record_after"), QStringLiteral("step")},
         5},
        {QStringLiteral("program_state"), {QStringLiteral("key"), QStringLiteral("value")}, 5},
        {QStringLiteral("animal_outcome"),
         {QStringLiteral("id"),
          QStringLiteral("record_number"),
          QStringLiteral("species"),
          QStringLiteral("kind"),
          QStringLiteral("birth"),
          QStringLiteral("purchased"),
          QStringLiteral("sold_on"),
          QStringLiteral("price"),
          QStringLiteral("buyer_business"),
          QStringLiteral("buyer_name"),
          QStringLiteral("buyer_address"),
          QStringLiteral("buyer_phone"),
          QStringLiteral("buyer_reg_no"),
          QStringLiteral("buyer_check"),
          QStringLiteral("sold_by"),
          QStringLiteral("explained_on"),
          QStringLiteral("explained_how"),
          QStringLiteral("microchip"),
          QStringLiteral("chip_registered"),
          QStringLiteral("left_on"),
          QStringLiteral("left_kind"),
          QStringLiteral("left_detail"),
          QStringLiteral("breeder_name"),
          QStringLiteral("breeder_reg"),
          QStringLiteral("seller_name"),
          QStringLiteral("seller_reg")},
         4,
         5},
        {QStringLiteral("care_plan"),
         {QStringLiteral("medication"), QStringLiteral("interval_days"), QStringLiteral("first_age_days"),
          QStringLiteral("doses"), QStringLiteral("species"), QStringLiteral("replaces")},
         4},
        {QStringLiteral("stock_limit"),
         {QStringLiteral("id"), QStringLiteral("age_days"), QStringLiteral("stock_days")},
         4},
    };
    QList<Table> present;
    for (const Table& table : all) {
        if (table.since <= version && (table.before == 0 || version < table.before))
            present.append(table);
    }
    return present;
}

} // namespace SaleSchema
