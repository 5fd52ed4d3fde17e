#pragma once

#include "backup/DataSnapshot.h"

#include <QDir>
#include <QList>
#include <QString>

// Puts `target` in place of the shop's data as one transaction (see RestoreJournal): every data
// file in `folder`, the files that go with the extra entries, and the settings file with the four
// shop settings. Each new file is written whole beside its target first; a failure there (a full
// disk, a read-only file) changes nothing, and the failure says the data is as it was. `safetyArchive`
// is the backup of the data as it was, relative to `folder`; the journal names it.
void replaceData(const QDir& folder, const QList<ExtraEntry>& extras, const DataSnapshot& target,
                 const QString& safetyArchive);
