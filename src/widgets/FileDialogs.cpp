#include "widgets/FileDialogs.h"

#include "platform/RunningHandlers.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QStandardPaths>
#include <QTreeView>

namespace {

// Name, size, type, date modified.
constexpr int DateColumn = 3;

} // namespace

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
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Qt's own dialog, where the system has none: backups are told apart by their date, so the
    // details are shown and the date column is as wide as its dates.
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        dialog.setViewMode(QFileDialog::Detail);
        details->header()->setSectionResizeMode(DateColumn, QHeaderView::ResizeToContents);
    }
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QString FileDialogs::saveForOtherPrograms(QWidget* parent, const QString& caption, const QString& fileName,
                                          const QString& filter)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir folder(documents.isEmpty() ? QDir::homePath() : documents);
    // A folder chosen before (a backup stick, a shared folder) is proposed again while it is there.
    if (const QString last = lastFolders.value(caption); !last.isEmpty() && QDir(last).exists())
        folder.setPath(last);
    const QString chosen = saveFileName(parent, caption, folder.filePath(fileName), filter);
    if (!chosen.isEmpty())
        lastFolders.insert(caption, QFileInfo(chosen).absolutePath());
    return chosen;
}
