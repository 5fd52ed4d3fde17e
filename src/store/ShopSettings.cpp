#include "store/ShopSettings.h"

#include "platform/SettingsFormat.h"
#include "store/Failure.h"
#include "store/RegularFile.h"
#include "store/ScratchFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QUuid>

#include <optional>

namespace ShopSettings {

namespace {

const QString Application = QStringLiteral("soranika");
const QString Section = QStringLiteral("mysave1");

QString path(const QString& key)
{
    return Section + QLatin1Char('/') + key;
}

// Where QSettings keeps an application's file in `scope`, found without reading it: QSettings
// reads its files as it is made, and for a name no file carries there is nothing to read.
QString settingsFile(QSettings::Scope scope)
{
    const QString probe = QUuid::createUuid().toString(QUuid::Id128);
    return QSettings(settingsFormat(), scope, probe, probe).fileName().replace(probe, Application);
}

// Every file QSettings reads for the shop's settings: the program's own and the organisation-wide
// one beside it (<folder>/soranika/soranika.conf and <folder>/soranika.conf), for the user and
// for the whole system.
void refuseWhatIsNotARegularFile()
{
    for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
        const QFileInfo own(settingsFile(scope));
        for (const QString& file : {own.filePath(), own.path() + QLatin1Char('.') + own.suffix()})
            RegularFile::exists(file, QDir::toNativeSeparators(file));
    }
}

// A value as the screens show it. A hand-written comma outside quotes makes the value a list, which
// QSettings may write back as a list of variants; either reads as its items joined again.
QString textOf(const QVariant& value)
{
    if (value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList) {
        QStringList items;
        for (const QVariant& item : value.toList())
            items.append(item.toString());
        return items.join(QLatin1String(", "));
    }
    return value.toString();
}

Failure notSaved()
{
    return Failure(QStringLiteral("設定を保存できません。"));
}

QByteArray bytesOf(const QString& file)
{
    QFile in(file);
    if (!in.exists())
        return {};
    if (!in.open(QIODevice::ReadOnly))
        throw notSaved();
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        throw notSaved();
    return bytes;
}

void writeBytes(const QString& file, const QByteArray& bytes)
{
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush())
        throw notSaved();
}

// The settings file's bytes with `key` set to `value`, as QSettings writes them, once every value
// reads back from them as the same text. QSettings works on copies under new names: it keeps what
// it last wrote or was asked to write in memory for the whole run, so a write that a full disk
// refused or cut short would still read back as saved.
QByteArray withValue(const QByteArray& before, const QString& key, const QString& value)
{
    std::optional<ScratchFolder> scratch;
    try {
        scratch.emplace();
    } catch (const Failure&) {
        throw notSaved();
    }
    const QString copy = scratch->filePath(QStringLiteral("soranika.conf"));
    const QString check = scratch->filePath(QStringLiteral("check.conf"));
    writeBytes(copy, before);
    QMap<QString, QString> expected;
    {
        QSettings settings(copy, settingsFormat());
        settings.setValue(key, value);
        for (const QString& each : Keys)
            expected.insert(path(each), textOf(settings.value(path(each))));
        settings.sync();
        // A format error concerns the file as it was read; only a refused write counts.
        if (settings.status() == QSettings::AccessError)
            throw notSaved();
    }
    const QByteArray after = bytesOf(copy);
    writeBytes(check, after);
    const QSettings written(check, settingsFormat());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (textOf(written.value(it.key())) != it.value())
            throw notSaved();
    }
    return after;
}

} // namespace

QString fileName()
{
    return settingsFile(QSettings::UserScope);
}

QString get(const QString& key)
{
    refuseWhatIsNotARegularFile();
    const QSettings settings(settingsFormat(), QSettings::UserScope, Application, Application);
    return textOf(settings.value(path(key), QString()));
}

void save(const QString& key, const QString& value)
{
    refuseWhatIsNotARegularFile();
    const QString file = fileName();
    const QByteArray after = withValue(bytesOf(file), path(key), value);
    try {
        if (!QDir().mkpath(QFileInfo(file).path()))
            throw notSaved();
        RegularFile::replace(file, after, file);
    } catch (const Failure&) {
        throw notSaved();
    }
}

QByteArray fileBytesWith(const QStringList& values)
{
    refuseWhatIsNotARegularFile();
    QByteArray bytes = bytesOf(fileName());
    for (qsizetype i = 0; i < values.size() && i < qsizetype(std::size(Keys)); ++i)
        bytes = withValue(bytes, path(Keys[i]), values[i]);
    return bytes;
}

} // namespace ShopSettings
