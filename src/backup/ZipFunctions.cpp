#include "backup/ZipFunctions.h"

#include "store/Failure.h"
#include "store/ModuleFolders.h"

#include <QDir>
#include <QLibrary>
#include <QMutex>

const ZipFunctions& zipLibrary()
{
    // The daily backup runs on a thread of its own.
    static QMutex loading;
    static const ZipFunctions* loaded = nullptr;
    const QMutexLocker locked(&loading);
    if (loaded)
        return *loaded;
    QStringList errors;
    for (const QString& folder : moduleFolders()) {
        QLibrary module(QDir(folder).filePath(QStringLiteral("soranika_zip")));
        // The module stays loaded when `module` goes: only unload() would take it away.
        if (const auto entry = reinterpret_cast<const ZipFunctions* (*)()>(module.resolve(ZipEntryName))) {
            loaded = entry();
            return *loaded;
        }
        errors.append(module.errorString());
    }
    qWarning("%s", qUtf8Printable(errors.join(QLatin1Char('\n'))));
    throw Failure(QStringLiteral("バックアップのための部品 (soranika_zip) を読み込めません。"
                                 "ソラニカをインストールし直してください。"));
}
