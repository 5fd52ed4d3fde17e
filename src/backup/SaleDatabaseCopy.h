#pragma once

#include <QString>

#include <chrono>

// A backup's soranika.db is never used as it is: it could hold views, triggers or values that
// nothing in this program would ever write, and SQLite would run its schema. Its rows are read by
// the program's own table and column names, each one checked as the sale dialogs check what is
// typed, and written into a new database of the current version. Reading stops after `timeLimit`,
// so that no file, however made, can hold the restore up; a database with every table at its row
// limit takes more than 10 s on a slow or busy computer, and must still come back.
namespace SaleDatabaseCopy {

constexpr std::chrono::milliseconds TimeLimit{60000};

// Writes the new database `target` from the backup's file `source` (a file of the caller's own, which
// the copy may change: a database in write-ahead-log mode is marked as one without, so that it can be
// read without a log). Fails with a description naming `shownName` when the file is not a database
// of this program, is of a newer version, holds a row that breaks the rules, or cannot be read
// within the time limit.
void copy(const QString& source, const QString& target, const QString& shownName,
          std::chrono::milliseconds timeLimit = TimeLimit);

} // namespace SaleDatabaseCopy
