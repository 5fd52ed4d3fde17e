#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// The program's failure: a step that cannot go on throws it with a Japanese description, and the
// event's handler shows that description to the user.
class Failure : public std::exception
{
public:
    explicit Failure(QString description);

    const QString& description() const { return text; }
    const char* what() const noexcept override { return utf8.constData(); }

    static Failure badRecordNumber();
    static Failure overflow();
    static Failure typeMismatch();
    static Failure fileNotFound(const QString& fileName);
    static Failure cannotOpen(const QString& fileName);
    static Failure cannotRead(const QString& fileName);
    static Failure cannotWrite(const QString& fileName);
    // A write failed and what it had already put into the file could not be taken out again.
    static Failure cannotWriteNorUndo(const QString& fileName);

private:
    QString text;
    QByteArray utf8;
};

// A database file that SQLite finds damaged: the program can set such a file aside and go on.
class DamagedDatabase : public Failure
{
public:
    explicit DamagedDatabase(QString shownName);

    // The file as the user knows it.
    const QString& fileName() const { return name; }

private:
    QString name;
};
