#pragma once

#include <QByteArray>
#include <QDate>
#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>

// The archives the program itself wrote into the folder バックアップ, in the order it wrote them
// (whatever the clock said), kept in a small file there. Only an archive listed here that still has
// the bytes it was written with is ever removed: a file the user put there, named like one of ours
// or not, or one the user replaced, is never touched.
class ArchiveIndex
{
public:
    enum class Kind { Daily, BeforeRestore };

    struct Entry
    {
        QString name;
        QByteArray archiveSha256;
        // DataSnapshot::fingerprint() of the data the archive holds.
        QByteArray dataFingerprint;
    };

    static inline const QString FileName = QStringLiteral(".soranika-archives");

    // The index of `folder`. Where there is none yet (the archives of an older version), the daily
    // and restore archives whose manifest gives the time their name says are taken in, oldest first.
    ArchiveIndex(const QDir& folder, const QStringList& dataNames);

    static bool isNameOf(Kind kind, const QString& fileName);
    // The number of a daily archive of `day` by its name: 1 for yyyyMMdd.zip, N for yyyyMMdd-N.zip, 0 for
    // a name that is none of them.
    static int dailyNumber(const QString& fileName, const QDate& day);

    // The newest archive of that kind, or nullptr.
    const Entry* newest(Kind kind) const;

    // Adds the archive just written as the newest. An index that cannot be saved only means the
    // archive is never removed later, so that is logged, not thrown.
    void add(Entry entry);

    // Removes the archives of that kind beyond the `kept` newest, never `keep`, and forgets those
    // that are gone or were changed.
    void prune(Kind kind, int kept, const QString& keep);

private:
    void adoptOlderArchives(const QStringList& dataNames);
    void save() const;
    bool stillOurs(const Entry& entry) const;

    QDir folder;
    QList<Entry> list;
};
