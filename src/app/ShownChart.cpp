#include "app/ShownChart.h"

#include <QDir>
#include <QFileInfo>

void ShownChart::showWritten(const QString& what, const QString& path, const QString& note)
{
    QString text = QStringLiteral("%1：%2").arg(what, QFileInfo(path).fileName());
    if (!note.isEmpty())
        text += QStringLiteral("　") + note;
    showStatus(text, QDir::toNativeSeparators(path));
}

QAction* namedAction(QObject* owner, const char* name, const QString& text)
{
    auto* action = new QAction(text, owner);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}
