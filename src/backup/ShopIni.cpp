#include "backup/ShopIni.h"

#include "store/Failure.h"
#include "store/ShopSettings.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace ShopIni {

namespace {

const QString Section = QStringLiteral("mysave1");

// QSettings reads and writes files only; each call works in a folder of its own, so no other
// thread's file and no file QSettings still holds in its cache is ever shared.
class Scratch
{
public:
    Scratch() : file(dir.filePath(FileName))
    {
        if (!dir.isValid())
            throw Failure::cannotWrite(dir.path());
    }

    QTemporaryDir dir;
    QString file;
};

} // namespace

QByteArray encode(const QStringList& values)
{
    Q_ASSERT(values.size() == std::size(ShopSettings::Keys));
    const Scratch scratch;
    {
        QSettings ini(scratch.file, QSettings::IniFormat);
        ini.beginGroup(Section);
        for (qsizetype i = 0; i < values.size(); ++i)
            ini.setValue(ShopSettings::Keys[i], values[i]);
        ini.endGroup();
        ini.sync();
        if (ini.status() != QSettings::NoError)
            throw Failure::cannotWrite(scratch.file);
    }
    QFile written(scratch.file);
    if (!written.open(QIODevice::ReadOnly))
        throw Failure::cannotRead(scratch.file);
    return written.readAll();
}

std::optional<QStringList> decode(const QByteArray& bytes)
{
    const Scratch scratch;
    QFile copy(scratch.file);
    if (!copy.open(QIODevice::WriteOnly) || copy.write(bytes) != bytes.size() || !copy.flush())
        throw Failure::cannotWrite(scratch.file);
    copy.close();

    QSettings ini(scratch.file, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        return std::nullopt;
    ini.beginGroup(Section);
    QStringList values;
    for (const QString& key : ShopSettings::Keys) {
        // A text this program wrote is always one string, never a list or another type.
        const QVariant value = ini.value(key);
        if (value.typeId() != QMetaType::QString)
            return std::nullopt;
        values.append(value.toString());
    }
    return values;
}

} // namespace ShopIni
