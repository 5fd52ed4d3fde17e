#pragma once

#include "store/ShopFiles.h"

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QString>

#include <optional>

// A restore as one transaction over many files. Every new file is first written whole beside its
// target as "<target>.restore-new" and pushed to the disk; then this journal is written and pushed
// to the disk (restore.journal in the data folder); only then is each target moved aside to
// "<target>.restore-old" and the new file renamed into its place. A renamed file is always whole,
// so whatever stops the program, the next start finds either no whole journal (nothing was replaced
// yet: the new files are dropped) or a whole one (every new file is put in place). Either way the
// shop's files are all old or all new before anything reads them.
// A target that had no file before gets an empty "<target>.restore-absent" before its new file goes
// in, so that even without a readable journal every file can be taken back to what it was.
//
// Layout: the eight bytes "SRNKRST1", the journal as JSON, and the SHA-256 of everything before it.
// A journal names only the shop's own files (shopFiles) and the backup of the data as it was; one
// that names anything else was never written by this program.
namespace RestoreJournal {

inline const QString& FileName = ShopFiles::RestoreJournal;
// Where a journal that is not this program's is set aside.
inline const QString& SetAsideName = ShopFiles::RestoreJournalSetAside;
inline const QString NewSuffix = QStringLiteral(".restore-new");
inline const QString OldSuffix = QStringLiteral(".restore-old");
inline const QString AbsentSuffix = QStringLiteral(".restore-absent");
// Far above any journal of ours: a few dozen short names.
constexpr qint64 MaxSize = 64 * 1024;

// Every file a restore may replace, in the order in which it replaces them: the record file, the
// nine pick lists, soranika.db's log files and soranika.db (relative to the data folder), and the
// settings file (absolute).
QStringList shopFiles();

struct Step
{
    // Relative to the data folder, or absolute (the settings file lives elsewhere).
    QString target;
    // True: the new file waits as target + NewSuffix. False: the target goes.
    bool replaced = true;
};

struct Journal
{
    // The backup of the data as it was before, relative to the data folder.
    QString safetyArchive;
    QList<Step> steps;
};

QByteArray encode(const Journal& journal);
// The journal, or nothing when it is cut short or damaged.
std::optional<Journal> decode(const QByteArray& bytes);

// Writes the journal into `folder` and pushes it to the disk; fails with a Failure.
void write(const QDir& folder, const Journal& journal);

// Puts every new file of `journal` in place. When a step fails, what was already moved is put back
// and the journal removed, so the files are as they were; the failure is thrown then. Should even
// that fail, the journal stays, so the next start finishes the restore, and RestoreIncomplete is
// thrown.
void install(const QDir& folder, const Journal& journal);

// Thrown by install when the files could not be put back either.
struct RestoreIncomplete
{
    QString cause;
};

// Removes the journal and the new files of a restore that was not begun; what is left are the old
// files. Used when staging failed.
void discard(const QDir& folder, const QList<Step>& steps);

// At start, before anything reads the data: finishes a restore that a whole journal shows was
// interrupted, or takes back what an interrupted restore left when its journal is not whole or not
// this program's (that one is set aside as SetAsideName). Returns what it did, in Japanese, for the
// shop; empty when there was nothing to do. Fails with a Failure when the files cannot be brought
// to one side, naming the backup of the data as it was; the journal stays for the next start.
QString finishInterruptedRestore(const QDir& folder);

} // namespace RestoreJournal
