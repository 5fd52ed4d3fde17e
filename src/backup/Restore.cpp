#include "backup/Restore.h"

#include "backup/BackupFailure.h"
#include "store/RegularFile.h"
#include "store/ShopSettings.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// Puts `file` in place as `name`, or takes away what is there when `file` is nullptr: through the
// extra entry's own way when it has one, else as the file `name`. Only a regular file is ever
// removed: whatever else stands under that name was never the shop's data.
void put(const QDir& folder, const QList<ExtraEntry>& extras, const QString& name, const NamedBytes* file)
{
    const auto extra = std::find_if(extras.begin(), extras.end(),
                                    [&](const ExtraEntry& each) { return each.name == name && each.put; });
    if (extra != extras.end()) {
        extra->put(file ? std::optional<QByteArray>(file->bytes) : std::nullopt);
        return;
    }
    const QString path = folder.filePath(name);
    if (file) {
        if (!RegularFile::write(path, file->bytes))
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
bool undo(const QDir& folder, const QList<ExtraEntry>& extras, const QStringList& touched,
          bool settingsTouched, const DataSnapshot& previous)
{
    bool undone = true;
    for (const QString& name : touched) {
        try {
            put(folder, extras, name, previous.file(name));
        } catch (const std::exception&) {
            undone = false;
        }
    }
    if (settingsTouched) {
        try {
            saveSettings(previous.shopSettings);
        } catch (const std::exception&) {
            undone = false;
        }
    }
    return undone;
}

} // namespace

void replaceData(const QDir& folder, const QList<ExtraEntry>& extras, const DataSnapshot& target,
                 const DataSnapshot& previous, const QString& safetyArchive)
{
    QStringList touched;
    bool settingsTouched = false;
    try {
        for (const QString& name : dataFileNames(extras)) {
            // Counted before the attempt: a failed removal may still have gone through.
            touched.append(name);
            put(folder, extras, name, target.file(name));
        }
        settingsTouched = true;
        saveSettings(target.shopSettings);
    } catch (const std::exception& error) {
        // An extra entry's own code may fail in its own way; it is undone all the same.
        const auto* failure = dynamic_cast<const Failure*>(&error);
        const Failure cause =
            failure ? *failure : Failure(QStringLiteral("予期しないエラーが発生しました。"));
        if (!undo(folder, extras, touched, settingsTouched, previous))
            throw BackupFailure::restoreNotUndone(cause, safetyArchive);
        throw BackupFailure::restoreUndone(cause);
    }
}
