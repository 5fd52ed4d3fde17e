#include "store/SqliteConnection.h"

#include "store/Failure.h"
#include "store/OwnerOnly.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>

#include <atomic>

namespace {

const QString Driver = QStringLiteral("QSQLITE");

// SQLite's primary result codes that tell the user something they can act on.
constexpr int Busy = 5;
constexpr int Locked = 6;
constexpr int ReadOnly = 8;
constexpr int InputOutput = 10;
constexpr int Corrupt = 11;
constexpr int Full = 13;
constexpr int CannotOpen = 14;
constexpr int NotADatabase = 26;

[[noreturn]] void throwFailureOf(const QSqlError& error, const QString& shownName)
{
    qWarning("SQLite: %s (%s)", qUtf8Printable(error.text()), qUtf8Printable(error.nativeErrorCode()));
    // Failed steps report extended codes; their low byte is the primary one.
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case Busy:
    case Locked:
        throw Failure(QStringLiteral("データベースがほかで使用中です。 (%1)").arg(shownName));
    case ReadOnly:
        throw Failure::cannotWrite(shownName);
    case Corrupt:
    case NotADatabase:
        throw DamagedDatabase(shownName);
    case InputOutput:
        throw Failure(QStringLiteral("ディスクの読み書きに失敗しました。 (%1)").arg(shownName));
    case Full:
        throw Failure(QStringLiteral("ディスクがいっぱいで書き込めません。 (%1)").arg(shownName));
    case CannotOpen:
        throw Failure::cannotOpen(shownName);
    default:
        throw Failure(QStringLiteral("データベースを読み書きできません。 (%1)").arg(shownName));
    }
}

// The database holds the buyers' data: an empty file is made for its owner only before SQLite
// opens it, so SQLite never creates it under the umask, and its log files, which SQLite makes with
// the database file's mode, follow. Files an older version made readable to all are limited too.
void keepToOwner(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    for (const char* log : {"", "-wal", "-shm", "-journal"})
        OwnerOnly::restrict(path + QLatin1String(log));
}

QString newConnectionName()
{
    static std::atomic<int> next = 0;
    return QStringLiteral("soranika-sqlite-%1").arg(next++);
}

// A value no backup could bring back is not stored: the shop is told, and keeps what it typed.
void checkValueSizes(const QVariantList& values, const QString& shownName)
{
    for (const QVariant& value : values) {
        qint64 bytes = 0;
        if (value.typeId() == QMetaType::QByteArray)
            bytes = value.toByteArray().size();
        // A character takes at most three bytes in UTF-8: only long texts are converted to be measured.
        else if (value.typeId() == QMetaType::QString && value.toString().size() * 3 > MaxValueBytes)
            bytes = value.toString().toUtf8().size();
        if (bytes > MaxValueBytes)
            throw Failure(QStringLiteral("%1 に保存できません。1 つの欄に入れられるのは 1 MB までです。")
                              .arg(shownName));
    }
}

} // namespace

SqliteConnection::SqliteConnection(const QString& path, QString shownName, int busyTimeoutMs)
    : connectionName(newConnectionName()), name(std::move(shownName))
{
    keepToOwner(path);
    QSqlDatabase db = QSqlDatabase::addDatabase(Driver, connectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    if (!db.open()) {
        qWarning("SQLite: %s", qUtf8Printable(db.lastError().text()));
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw Failure::cannotOpen(name);
    }
    try {
        run(QStringLiteral("PRAGMA synchronous = FULL"));
    } catch (...) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw;
    }
}

SqliteConnection::~SqliteConnection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

QSqlQuery SqliteConnection::run(const QString& sql, const QVariantList& values)
{
    checkValueSizes(values, name);
    QSqlQuery query(QSqlDatabase::database(connectionName, false));
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throwFailureOf(query.lastError(), name);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        throwFailureOf(query.lastError(), name);
    return query;
}

QSqlQuery SqliteConnection::prepare(const QString& sql)
{
    QSqlQuery query(QSqlDatabase::database(connectionName, false));
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throwFailureOf(query.lastError(), name);
    return query;
}

void SqliteConnection::runPrepared(QSqlQuery& query, const QVariantList& values)
{
    checkValueSizes(values, name);
    for (qsizetype i = 0; i < values.size(); ++i)
        query.bindValue(int(i), values[i]);
    if (!query.exec())
        throwFailureOf(query.lastError(), name);
}

void SqliteConnection::useWriteAheadLog()
{
    run(QStringLiteral("PRAGMA journal_mode = WAL"));
}

QVariant SqliteConnection::value(const QString& sql, const QVariantList& values)
{
    QSqlQuery query = run(sql, values);
    const QVariant first = query.next() ? query.value(0) : QVariant();
    if (query.lastError().isValid())
        throwFailureOf(query.lastError(), name);
    return first;
}

SqliteTransaction::SqliteTransaction(SqliteConnection& connection) : connection(connection)
{
    connection.run(QStringLiteral("BEGIN IMMEDIATE"));
}

SqliteTransaction::~SqliteTransaction()
{
    if (!open)
        return;
    try {
        connection.run(QStringLiteral("ROLLBACK"));
    } catch (const Failure&) {
        // SQLite may have rolled the transaction back itself after the failure that brought us here.
    }
}

void SqliteTransaction::commit()
{
    connection.run(QStringLiteral("COMMIT"));
    open = false;
}

QVariant sqlText(const QString& text)
{
    return QVariant(text.isNull() ? QStringLiteral("") : text);
}
