#include "support/Sandbox.h"

#include <QDir>
#include <QSettings>

Sandbox::Sandbox() : previousDir(QDir::currentPath())
{
    Q_ASSERT(dir.isValid());
    QDir::setCurrent(dir.path());
    const QString settings = dir.filePath(QStringLiteral("settings"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings);
}

Sandbox::~Sandbox()
{
    QDir::setCurrent(previousDir);
}

QString Sandbox::settingsFile()
{
#ifdef Q_OS_WIN
    return QStringLiteral("settings/soranika/soranika.ini");
#else
    return QStringLiteral("settings/soranika/soranika.conf");
#endif
}
