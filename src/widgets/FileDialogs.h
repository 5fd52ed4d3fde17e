#pragma once

#include <QList>
#include <QMap>
#include <QString>

class QWidget;

// Save and open dialogs go through this service so tests can answer them without a modal loop.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // The file the user chose to save to, starting from `suggested` (a full path); empty when the
    // user cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                                 const QString& filter) = 0;
    // The existing file the user chose to open, starting in `folder`; empty when the user cancelled.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;

    // saveFileName for a file meant for other programs: `fileName` is suggested in the folder last
    // chosen in a dialog with this caption while the program runs, or else in the user's documents
    // folder.
    QString saveForOtherPrograms(QWidget* parent, const QString& caption, const QString& fileName,
                                 const QString& filter);

private:
    QMap<QString, QString> lastFolders;
};

class RealFileDialogs final : public FileDialogs
{
public:
    QString saveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                         const QString& filter) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
};
