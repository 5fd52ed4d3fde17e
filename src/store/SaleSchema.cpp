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

void migrate(SqliteConnection& db)
{
    // A file this program cannot use is refused before anything in it changes.
    const int version = versionOf(db);
    db.useWriteAheadLog();
    if (version == Version)
        return;
    SqliteTransaction transaction(db);
    // Read again under the write lock: another program may have migrated the file meanwhile.
    for (int step = versionOf(db); step < Version; ++step) {
        for (const QString& statement : steps().at(step))
            db.run(statement);
    }
    // A pragma takes no bound value; the number is the program's own constant.
    db.run(QStringLiteral("PRAGMA user_version = %1").arg(Version));
    transaction.commit();
}

const QList<Table>& tables()
{
    static const QList<Table> all = {
        {QStringLiteral("chart_sale"),
         {QStringLiteral("record_number"), QStringLiteral("microchip"), QStringLiteral("chip_implanted"),
          QStringLiteral("chip_registered"), QStringLiteral("neutered"), QStringLiteral("neutered_on"),
          QStringLiteral("owner"), QStringLiteral("hereditary"), QStringLiteral("buyer_name"),
          QStringLiteral("buyer_address"), QStringLiteral("buyer_phone"), QStringLiteral("explained_on"),
          QStringLiteral("animal_kind"), QStringLiteral("animal_birth"), QStringLiteral("animal_purchased")}},
        {QStringLiteral("breed_text"),
         {QStringLiteral("kind"), QStringLiteral("body_size"), QStringLiteral("lifespan"),
          QStringLiteral("housing"), QStringLiteral("feeding"), QStringLiteral("exercise"),
          QStringLiteral("diseases"), QStringLiteral("neutering"), QStringLiteral("breeding_control"),
          QStringLiteral("regulations")}},
        {QStringLiteral("dealer"),
         {QStringLiteral("id"), QStringLiteral("registration_number"), QStringLiteral("animal_handler")}},
    };
    return all;
}

} // namespace SaleSchema
