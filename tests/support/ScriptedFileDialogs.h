#pragma once

#include "widgets/FileDialogs.h"

#include <QString>
#include <QStringList>

// Answers from a script and records what was suggested.
class ScriptedFileDialogs final : public FileDialogs
{
public:
    QString saveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                         const QString& filter) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;

    // The paths the next dialogs answer with, in turn; an empty path is a cancel. Once they are used
    // up, every dialog is cancelled.
    void setNextAnswer(const QString& path) { answers.append(path); }

    QStringList suggested;

private:
    QStringList answers;
};
