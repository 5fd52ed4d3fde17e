#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

struct zip;

// A file's name and its bytes, as a ZIP entry or a data file holds them.
struct NamedBytes
{
    QString name;
    QByteArray bytes;
};

// The ZIP library's version, as "1.7.3".
QString zipLibraryVersion();

// The ZIP file, built in memory, that holds `entries` in order, compressed, each dated `modified`.
QByteArray writeZip(const QList<NamedBytes>& entries, const QDateTime& modified);

// A ZIP file read from memory. What is wrong with it fails with a description naming `archiveName`.
class ZipReader
{
public:
    // `bytes` must outlive the reader. Fails when they are not a ZIP file or a broken one.
    ZipReader(const QByteArray& bytes, QString archiveName);
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

private:
    struct Closer
    {
        void operator()(zip* archive) const;
    };
    std::unique_ptr<zip, Closer> archive;
    QString archiveName;
};
