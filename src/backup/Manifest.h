#pragma once

#include "backup/ZipArchive.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// manifest.json: what a backup file is and what it holds, so that a restore can check every entry
// before anything on disk changes.
struct Manifest
{
    struct Entry
    {
        QString name;
        qint64 size = 0;
        QByteArray sha256; // lower-case hexadecimal
    };

    // Raised only when the layout changes in a way an older program could not read.
    static constexpr int Format = 1;

    QString programVersion;
    QDateTime created;
    qint64 recordCount = 0;
    QList<Entry> entries;
    // Why the sale information is not in the backup although the shop had some; empty otherwise.
    QString saleInformationMissing;

    // The entry's size and SHA-256; a file kept on disk is read a piece at a time.
    static Entry describe(const NamedBytes& file);

    QByteArray toJson() const;
    // Fails with a description naming `archiveName` when the text is not a manifest of this
    // program's format: not JSON, a value missing or of the wrong kind, an entry listed twice.
    static Manifest fromJson(const QByteArray& json, const QString& archiveName);
};
