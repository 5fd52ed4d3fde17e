#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariantList>

// The most one value (a text, a record's bytes) may take, far above anything a box is made for. Nothing
// larger is stored, and a backup's database with a larger one is refused: a restore holds a value several
// times over while it checks and writes it, and a crafted one of a hundred megabytes would fill the memory.
inline constexpr qint64 MaxValueBytes = qint64(1) << 20;

// One connection to a SQLite file for the length of one operation, like every other file of the shop:
// opened, used and closed within one user action. Every commit is flushed to the disk, so a change
// that reported success survives a power cut. The file and its log files are its owner's only.
// Every failure is thrown as a Failure naming the file as the user knows it.
class SqliteConnection
{
public:
    // `busyTimeoutMs`: how long a statement waits for another program's lock before it fails.
    SqliteConnection(const QString& path, QString shownName, int busyTimeoutMs = 5000);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // Prepares `sql`, binds `values` to its placeholders in order and runs it.
    QSqlQuery run(const QString& sql, const QVariantList& values = {});
    // A statement prepared once for runPrepared, which binds `values` to its placeholders in order and
    // runs it: for many rows of the same shape.
    QSqlQuery prepare(const QString& sql);
    void runPrepared(QSqlQuery& query, const QVariantList& values);
    // The first column of the first row, or a null value when there is no row.
    QVariant value(const QString& sql, const QVariantList& values = {});

    // Switches the file to write-ahead logging (kept in the file): readers then see the last commit
    // while a write is under way, and a commit is one append to the log.
    void useWriteAheadLog();

    const QString& shownName() const { return name; }

private:
    QString connectionName;
    QString name;
};

// A write transaction that takes the write lock at once and rolls back unless committed.
class SqliteTransaction
{
public:
    explicit SqliteTransaction(SqliteConnection& connection);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    void commit();

private:
    SqliteConnection& connection;
    bool open = true;
};

// A text for a NOT NULL column: Qt binds a null QString as NULL.
QVariant sqlText(const QString& text);
