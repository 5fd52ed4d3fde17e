#include "backup/SaleDatabaseCopy.h"

#include "store/Failure.h"
#include "store/Microchip.h"
#include "store/RecordFile.h"
#include "store/SaleSchema.h"
#include "store/SqliteConnection.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QVariantList>

#include <sqlite3.h>

namespace SaleDatabaseCopy {

namespace {

using Clock = std::chrono::steady_clock;

// The most rows each table can hold in a database the program made: one sale row per chart, a
// breed text per breed of the pick list, one dealer. A file with more was not made by the screens,
// and its rows are never read into the new database. Tables not named here (added by a later
// version) take the default.
qint64 rowLimitOf(const QString& table)
{
    // The items a pick list may hold, as a backup's lists are checked.
    constexpr qint64 MaxListItems = 32767;
    static const QHash<QString, qint64> limits = {
        {QStringLiteral("chart_sale"), RecordFile::MaxRecords},
        {QStringLiteral("breed_text"), MaxListItems},
        {QStringLiteral("breed_species"), MaxListItems},
        {QStringLiteral("species_text"), 16},
        {QStringLiteral("dealer"), 1},
        // One row per stay of an animal, and a chart number is never given out twice; room to spare
        // for animals brought back and charts cleared with their stays kept.
        {QStringLiteral("animal_outcome"), 4 * qint64(RecordFile::MaxRecords)},
        {QStringLiteral("animal_stay"), 4 * qint64(RecordFile::MaxRecords)},
        {QStringLiteral("program_state"), 100},
        {QStringLiteral("care_plan"), 1000},
        {QStringLiteral("stock_limit"), 1000},
    };
    return limits.value(table, RecordFile::MaxRecords);
}

// What each column may hold, by the rules the sale dialogs apply to what is typed.
enum class Kind { RecordNumber, OptionalRecordNumber, Microchip, Date, Flag, Text, DealerId, RecordBytes };

Kind kindOf(const QString& table, const QString& column)
{
    // One row per stay of an animal: its record number goes when the chart is cleared, and its
    // microchip is registered or not.
    if (table == QLatin1String("animal_stay") || table == QLatin1String("animal_outcome")) {
        static const QHash<QString, Kind> stay = {
            {QStringLiteral("record_number"), Kind::OptionalRecordNumber},
            {QStringLiteral("former_number"), Kind::OptionalRecordNumber},
            {QStringLiteral("microchip"), Kind::Microchip},
            {QStringLiteral("sold_on"), Kind::Date},
            {QStringLiteral("explained_on"), Kind::Date},
            {QStringLiteral("left_on"), Kind::Date},
            {QStringLiteral("chip_certificate_on"), Kind::Date},
            {QStringLiteral("deleted_on"), Kind::Date},
            {QStringLiteral("chip_registered"), Kind::Flag},
            {QStringLiteral("buyer_business"), Kind::Flag},
            {QStringLiteral("price_planned"), Kind::Flag},
            {QStringLiteral("returned"), Kind::Flag},
        };
        return stay.value(column, Kind::Text);
    }
    if (table == QLatin1String("pending_change")) {
        if (column == QLatin1String("record_number"))
            return Kind::RecordNumber;
        return column.startsWith(QLatin1String("record_")) ? Kind::RecordBytes : Kind::Text;
    }
    static const QHash<QString, Kind> kinds = {
        {QStringLiteral("record_number"), Kind::RecordNumber},
        {QStringLiteral("microchip"), Kind::Microchip},
        {QStringLiteral("chip_implanted"), Kind::Date},
        {QStringLiteral("chip_registered"), Kind::Date},
        {QStringLiteral("chip_certificate_on"), Kind::Date},
        {QStringLiteral("neutered_on"), Kind::Date},
        {QStringLiteral("explained_on"), Kind::Date},
        {QStringLiteral("neutered"), Kind::Flag},
        {QStringLiteral("id"), Kind::DealerId},
    };
    return kinds.value(column, Kind::Text);
}

// The archive's database does not hold what this program writes; `what` says where.
Failure wrongDatabase(const QString& what, const QString& shownName)
{
    return Failure(
        QStringLiteral("バックアップの soranika.db（販売情報）が正しくないため、復元できません（%1）。 (%2)")
            .arg(what, shownName));
}

class Reader
{
public:
    Reader(const QString& path, QString shownName, std::chrono::milliseconds timeLimit)
        : shownName(std::move(shownName)), deadline(Clock::now() + timeLimit)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
            SQLITE_OK)
            throw damaged();
        sqlite3_progress_handler(db, 1000, &Reader::pastDeadline, this);
        // A larger value is refused before SQLite reads it into memory.
        sqlite3_limit(db, SQLITE_LIMIT_LENGTH, int(MaxValueBytes));
    }
    ~Reader() { sqlite3_close(db); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // Runs `sql` (the program's own text) and calls `row` for each row.
    template <typename Row> void each(const QString& sql, Row row)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
            throw failureOf(sqlite3_errcode(db));
        int result;
        try {
            while ((result = sqlite3_step(statement)) == SQLITE_ROW)
                row(statement);
        } catch (...) {
            sqlite3_finalize(statement);
            throw;
        }
        sqlite3_finalize(statement);
        if (result != SQLITE_DONE)
            throw failureOf(result);
    }

    Failure wrong(const QString& what) const { return wrongDatabase(what, shownName); }

    Failure damaged() const { return wrong(QStringLiteral("壊れているか、データベースではありません")); }

private:
    Failure failureOf(int result) const
    {
        if (result == SQLITE_INTERRUPT)
            return wrong(QStringLiteral("読み込みが時間内に終わりません"));
        if (result == SQLITE_TOOBIG)
            return wrong(QStringLiteral("1 MB を超える値があります"));
        return damaged();
    }

    static int pastDeadline(void* reader)
    {
        return Clock::now() > static_cast<Reader*>(reader)->deadline ? 1 : 0;
    }

    sqlite3* db = nullptr;
    QString shownName;
    Clock::time_point deadline;
};

QString textOf(sqlite3_stmt* statement, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                             sqlite3_column_bytes(statement, column));
}

// The value as it goes into the new database, or a failure naming the table and the column.
QVariant checked(const Reader& reader, sqlite3_stmt* statement, int column, const QString& table,
                 const QString& name)
{
    const int type = sqlite3_column_type(statement, column);
    const auto wrong = [&] { return reader.wrong(QStringLiteral("%1 の %2 の値").arg(table, name)); };
    switch (kindOf(table, name)) {
    case Kind::OptionalRecordNumber:
        if (type == SQLITE_NULL)
            return QVariant();
        [[fallthrough]];
    case Kind::RecordNumber: {
        const qint64 number = sqlite3_column_int64(statement, column);
        if (type != SQLITE_INTEGER || number < 1 || number > RecordFile::MaxRecords)
            throw wrong();
        return number;
    }
    case Kind::DealerId:
        if (type != SQLITE_INTEGER || sqlite3_column_int64(statement, column) != 1)
            throw wrong();
        return 1;
    case Kind::Flag: {
        const qint64 flag = sqlite3_column_int64(statement, column);
        if (type != SQLITE_INTEGER || (flag != 0 && flag != 1))
            throw wrong();
        return flag;
    }
    case Kind::Date: {
        if (type == SQLITE_NULL)
            return QVariant();
        const QString text = type == SQLITE_TEXT ? textOf(statement, column) : QString();
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (!date.isValid() || date.toString(Qt::ISODate) != text)
            throw wrong();
        return text;
    }
    case Kind::Microchip: {
        if (type != SQLITE_TEXT)
            throw wrong();
        const QString text = textOf(statement, column);
        try {
            if (Microchip::normalized(text) != text)
                throw wrong();
        } catch (const Failure&) {
            throw wrong();
        }
        return text;
    }
    case Kind::RecordBytes: {
        // A record's bytes, or none for a record past the end of the file.
        const int size = sqlite3_column_bytes(statement, column);
        if (type != SQLITE_BLOB || (size != 0 && size != int(sizeof(PetRecord))))
            throw wrong();
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(statement, column)), size);
    }
    case Kind::Text:
        // A column added by a later version is empty (NULL) in rows written before it; a NULL where
        // the program's own schema forbids one is refused when the row goes into the new database.
        if (type == SQLITE_NULL)
            return QVariant();
        if (type == SQLITE_INTEGER)
            return qint64(sqlite3_column_int64(statement, column));
        if (type != SQLITE_TEXT)
            throw wrong();
        return sqlText(textOf(statement, column));
    }
    Q_ASSERT(false);
    return {};
}

// Only the program's own tables and indexes of the file's version: a view or a trigger would run code
// of the file's own.
void checkSchema(Reader& reader, int version)
{
    const QList<SaleSchema::Table> tables = SaleSchema::tables(version);
    QHash<QString, QString> objects;
    reader.each(QStringLiteral("SELECT type, name FROM sqlite_master"),
                [&](sqlite3_stmt* row) { objects.insert(textOf(row, 1), textOf(row, 0)); });
    for (auto it = objects.cbegin(); it != objects.cend(); ++it) {
        const bool known =
            (it.value() == QLatin1String("table") &&
             std::any_of(tables.begin(), tables.end(),
                         [&](const SaleSchema::Table& table) { return table.name == it.key(); })) ||
            (it.value() == QLatin1String("index") &&
             (it.key() == QLatin1String("chart_sale_microchip") ||
              it.key() == QLatin1String("animal_stay_chart") ||
              it.key().startsWith(QLatin1String("sqlite_autoindex_"))));
        if (!known)
            throw reader.wrong(QStringLiteral("ソラニカのものではない %1 があります").arg(it.key()));
    }
    for (const SaleSchema::Table& table : tables) {
        if (objects.value(table.name) != QLatin1String("table"))
            throw reader.wrong(QStringLiteral("表 %1 がありません").arg(table.name));
    }
}

// The columns of `table` the file has: one of an older version lacks those added since, which then
// take their defaults.
QStringList columnsIn(Reader& reader, const SaleSchema::Table& table)
{
    QStringList present;
    reader.each(QStringLiteral("PRAGMA main.table_info(\"%1\")").arg(table.name),
                [&](sqlite3_stmt* row) { present.append(textOf(row, 1)); });
    QStringList columns;
    for (const QString& column : table.columns) {
        if (present.contains(column))
            columns.append(column);
    }
    return columns;
}

// Marks the file as one SQLite reads without a write-ahead log, which a read-only connection could
// not open (bytes 18 and 19 name the log). True when it starts as a SQLite database does.
bool makeReadable(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        throw Failure::cannotWrite(path);
    const QByteArray header = file.read(100);
    const bool logged = header.size() == 100 && header[18] == 2 && header[19] == 2;
    if (logged && (!file.seek(18) || file.write("\1\1", 2) != 2 || !file.flush()))
        throw Failure::cannotWrite(path);
    return header.startsWith(QByteArray("SQLite format 3\0", 16));
}

} // namespace

void copy(const QString& source, const QString& target, const QString& shownName,
          std::chrono::milliseconds timeLimit)
{
    const bool isDatabase = makeReadable(source);

    int version = 0;
    {
        Reader reader(source, shownName, timeLimit);
        if (!isDatabase)
            throw reader.damaged();
        QString check;
        reader.each(QStringLiteral("PRAGMA quick_check"),
                    [&](sqlite3_stmt* row) { check += textOf(row, 0); });
        if (check != QLatin1String("ok"))
            throw reader.damaged();
        reader.each(QStringLiteral("PRAGMA user_version"),
                    [&](sqlite3_stmt* row) { version = sqlite3_column_int(row, 0); });
        if (version > SaleSchema::Version)
            throw Failure(
                QStringLiteral("新しいバージョンのソラニカで作られた販売情報のため、復元できません。 (%1)")
                    .arg(shownName));
        if (version < 1)
            throw reader.wrong(QStringLiteral("販売情報の表がありません"));
        checkSchema(reader, version);
        const QList<SaleSchema::Table> tables = SaleSchema::tables(version);
        for (const SaleSchema::Table& table : tables) {
            qint64 rows = 0;
            reader.each(QStringLiteral("SELECT count(*) FROM main.\"%1\"").arg(table.name),
                        [&](sqlite3_stmt* row) { rows = sqlite3_column_int64(row, 0); });
            if (rows > rowLimitOf(table.name))
                throw reader.wrong(QStringLiteral("表 %1 の行が多すぎます").arg(table.name));
        }

        // Each row goes into the new database as it is read: only one is ever held in memory. The
        // database is of the archive's own version, and comes up to date the way a shop's own does.
        SqliteConnection db(target, shownName);
        SaleSchema::migrate(db, version);
        SqliteTransaction transaction(db);
        for (const SaleSchema::Table& table : tables) {
            const QStringList columns = columnsIn(reader, table);
            QSqlQuery insert = db.prepare(
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(table.name, columns.join(QStringLiteral(", ")),
                         QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))));
            // Table and column names are the program's own constants, never the file's.
            reader.each(QStringLiteral("SELECT %1 FROM main.\"%2\"")
                            .arg(columns.join(QStringLiteral(", ")), table.name),
                        [&](sqlite3_stmt* row) {
                            QVariantList values;
                            for (int i = 0; i < columns.size(); ++i)
                                values.append(checked(reader, row, i, table.name, columns[i]));
                            try {
                                db.runPrepared(insert, values);
                            } catch (const Failure&) {
                                throw wrongDatabase(QStringLiteral("%1 の値").arg(table.name), shownName);
                            }
                        });
        }
        transaction.commit();
        SaleSchema::migrate(db);
    }
}

} // namespace SaleDatabaseCopy
