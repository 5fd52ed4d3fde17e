#include "support/ScriptedFileDialogs.h"

QString ScriptedFileDialogs::saveFileName(QWidget*, const QString&, const QString& path, const QString&)
{
    suggested.append(path);
    return answers.isEmpty() ? QString() : answers.takeFirst();
}

QString ScriptedFileDialogs::openFileName(QWidget*, const QString&, const QString& folder, const QString&)
{
    suggested.append(folder);
    return answers.isEmpty() ? QString() : answers.takeFirst();
}
