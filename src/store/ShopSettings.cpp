#include "store/ShopSettings.h"

#include "store/Failure.h"

#include <QSettings>

namespace ShopSettings {

namespace {

const QString Application = QStringLiteral("soranika");
const QString Section = QStringLiteral("mysave1");

QString path(const QString& key)
{
    return Section + QLatin1Char('/') + key;
}

} // namespace

QString get(const QString& key)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, Application, Application);
    return settings.value(path(key), QString()).toString();
}

void save(const QString& key, const QString& value)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, Application, Application);
    settings.setValue(path(key), value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw Failure(QStringLiteral("設定を保存できません。"));
}

} // namespace ShopSettings
