#include "platform/FileDialogs.h"

#include "platform/RunningHandlers.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

QString RealFileDialogs::saveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                                      const QString& filter)
{
    // The dialog runs its own event loop; the handler that asked is still running meanwhile.
    const HandlerScope running;
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

QString RealFileDialogs::openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                      const QString& filter)
{
    const HandlerScope running;
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

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

QString FileDialogs::saveForOtherPrograms(QWidget* parent, const QString& caption, const QString& fileName,
                                          const QString& filter)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QDir folder(documents.isEmpty() ? QDir::homePath() : documents);
    return saveFileName(parent, caption, folder.filePath(fileName), filter);
}
