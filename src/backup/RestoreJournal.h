#pragma once

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
//
// Layout: the eight bytes "SRNKRST1", the journal as JSON, and the SHA-256 of everything before it.
namespace RestoreJournal {

inline const QString FileName = QStringLiteral("restore.journal");
inline const QString NewSuffix = QStringLiteral(".restore-new");
inline const QString OldSuffix = QStringLiteral(".restore-old");

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
// interrupted, or drops what an interrupted restore left before its journal was whole. Returns
// what it did, in Japanese, for the shop; empty when there was nothing to do. Fails with a Failure
// when the restore cannot be finished, leaving the journal for the next start.
QString finishInterruptedRestore(const QDir& folder);

} // namespace RestoreJournal
