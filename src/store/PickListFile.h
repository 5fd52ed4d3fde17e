#pragma once

#include "store/ShopFiles.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// A pick list: a code page 932 text file in the working directory, one item per line.
// Every operation first makes sure the name is a regular file (or a link to one) or nothing at
// all; anything else fails with "ファイルを開けません。 (name)" before it is opened.
namespace PickListFile {

// The nine lists, in the order in which the master-data screen handles them.
inline const auto& FileNames = ShopFiles::PickLists;

// Creates the file empty when it is missing; an existing file stays as it is.
void ensureExists(const QString& fileName);

// Every item in file order. A blank line is an empty item, a last line without CR LF is an item,
// and a file ending in CR LF has no empty item after it. A missing file is a failure.
QStringList readItems(const QString& fileName);

// Appends `item` and CR LF, after ending a last line that has no CR LF, so the two stay two
// items. The file is written anew and renamed over the old one, so a failed append leaves it as
// it was.
void appendItem(const QString& fileName, const QString& item);

// Replaces the file by `items`, each followed by CR LF. The new file is written beside the old one
// and renamed over it, so a failed write leaves the old list in place.
void rewrite(const QString& fileName, const QStringList& items);

// Removes what rewrites cut short by a crash left in the working directory: regular files named
// after one of the nine lists, a dot and six letters (syurui.txt.AbCdEf), last changed before
// `startedAt`. A running rewrite's own file is newer. Returns how many went.
int removeStaleTemporaries(const QDateTime& startedAt);

// The bytes of `items` as the file holds them.
QByteArray encodeLines(const QStringList& items);
QStringList decodeLines(const QByteArray& bytes);

} // namespace PickListFile
