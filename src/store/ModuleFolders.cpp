#include "store/ModuleFolders.h"

#include <QCoreApplication>

QStringList moduleFolders()
{
    QStringList folders{QCoreApplication::applicationDirPath()};
    if (const QString installed = QStringLiteral(SORANIKA_MODULE_DIR); !installed.isEmpty())
        folders.append(installed);
    return folders + QCoreApplication::libraryPaths();
}
