#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

struct zip;

// A file's name and its bytes, as a ZIP entry or a data file holds them. A large file (a database)
// stays on disk instead, so that it is never held in memory whole: `path` names the file that holds
// its bytes, and `bytes` is then empty.
struct NamedBytes
{
    QString name;
    QByteArray bytes;
    QString path = {};

    // Neither bytes nor a file.
    bool isEmpty() const { return bytes.isEmpty() && path.isEmpty(); }
};

// The ZIP library's version, as "1.7.3".
QString zipLibraryVersion();

// Writes the new ZIP file `path` that holds `entries` in order, compressed, each dated `modified`;
// the files of entries kept on disk are read as it is written. `path` is in a folder only its owner
// can read: the file takes the umask's access rights. Fails naming `archiveName`.
void writeZip(const QList<NamedBytes>& entries, const QDateTime& modified, const QString& path,
              const QString& archiveName);

// A ZIP file read from disk, an entry at a time. What is wrong with it fails with a description
// naming `archiveName`.
class ZipReader
{
public:
    // Fails when the file cannot be read, is not a ZIP file or is a broken one.
    ZipReader(const QString& path, QString archiveName);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    QStringList names() const;
    bool contains(const QString& name) const;
    // The entry's size as the archive's directory states it, before anything is decompressed.
    qint64 statedSize(const QString& name) const;
    // The entry's bytes, checked against the CRC the archive keeps; an entry larger than `maxSize`
    // or one that does not decompress to what the archive says fails as broken.
    QByteArray read(const QString& name, qint64 maxSize) const;
    // The same, written to the new file `path` (its owner's only) a piece at a time, so that it is
    // never held in memory whole.
    void extract(const QString& name, qint64 maxSize, const QString& path) const;

private:
    // Hands the entry's bytes to `take` a piece at a time, checked as `read` says.
    void stream(const QString& name, qint64 maxSize,
                const std::function<bool(const char*, qint64)>& take) const;

    struct Closer
    {
        void operator()(zip* archive) const;
    };
    std::unique_ptr<zip, Closer> archive;
    QString archiveName;
};
