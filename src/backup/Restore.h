#pragma once

#include "backup/DataSnapshot.h"

#include <QDir>
#include <QString>
#include <QList>

// Puts `target` in place of the shop's data: each data file in `folder` is replaced through
// QSaveFile (or removed when `target` has no such file), each extra entry with a way of its own is
// put back that way, then the four shop settings are saved. When a step fails, what was already
// changed is put back from `previous`, the data as it was, and the failure says so; should even
// that fail, it names `safetyArchive`, the backup file that holds `previous`.
void replaceData(const QDir& folder, const QList<ExtraEntry>& extras, const DataSnapshot& target,
                 const DataSnapshot& previous, const QString& safetyArchive);
