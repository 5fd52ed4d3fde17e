#include "backup/Restore.h"

#include "backup/BackupFailure.h"
#include "backup/WholeFile.h"
#include "store/ShopSettings.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Makes the file `name` hold `file`'s bytes, or removes it when `file` is nullptr. Only a regular
// file is ever removed: whatever else stands under that name was never the shop's data.
void put(const QDir& folder, const QString& name, const NamedBytes* file)
{
    const QString path = folder.filePath(name);
    if (file) {
        if (!WholeFile::write(path, file->bytes))
            throw Failure::cannotWrite(name);
    } else if (QFileInfo(path).isFile() && !QFile::remove(path)) {
        throw Failure::cannotWrite(name);
    }
}

void saveSettings(const QStringList& values)
{
    for (qsizetype i = 0; i < values.size(); ++i)
        ShopSettings::save(ShopSettings::Keys[i], values[i]);
}

// Puts back every file in `touched` and, when they were touched, the settings. True when all of it
// went back.
bool undo(const QDir& folder, const QStringList& touched, bool settingsTouched, const DataSnapshot& previous)
{
    bool undone = true;
    for (const QString& name : touched) {
        try {
            put(folder, name, previous.file(name));
        } catch (const Failure&) {
            undone = false;
        }
    }
    if (settingsTouched) {
        try {
            saveSettings(previous.shopSettings);
        } catch (const Failure&) {
            undone = false;
        }
    }
    return undone;
}

} // namespace

void replaceData(const QDir& folder, const QStringList& names, const DataSnapshot& target,
                 const DataSnapshot& previous, const QString& safetyArchive)
{
    QStringList touched;
    bool settingsTouched = false;
    try {
        for (const QString& name : names) {
            // Counted before the attempt: a failed removal may still have gone through.
            touched.append(name);
            put(folder, name, target.file(name));
        }
        settingsTouched = true;
        saveSettings(target.shopSettings);
    } catch (const Failure& failure) {
        if (!undo(folder, touched, settingsTouched, previous))
            throw BackupFailure::restoreNotUndone(failure, safetyArchive);
        throw BackupFailure::restoreUndone(failure);
    }
}
