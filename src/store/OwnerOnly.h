#pragma once

#include <QString>

class QFileDevice;

// Files that hold buyers' names, addresses or phones, and the folders made for them, are for the
// user who runs the program only, whatever the umask says: other users of the computer see nothing
// of them. The shop's other files keep the modes the umask gives them.
namespace OwnerOnly {

// Limits an open file to its owner; for a QSaveFile, its new file, before anything is written to it.
bool restrict(QFileDevice& file);

// Limits the file or folder at `path` to its owner when something is there. False only when that
// did not succeed (another user's file, say).
bool restrict(const QString& path);

// Makes the folder `path` (and its parents as needed) and limits the folder itself to its owner,
// also when it was already there.
bool makeFolder(const QString& path);

} // namespace OwnerOnly
