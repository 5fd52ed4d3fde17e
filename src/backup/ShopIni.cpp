#include "backup/ShopIni.h"

#include "store/Failure.h"
#include "store/ScratchFolder.h"
#include "store/ShopSettings.h"

#include <QFile>
#include <QSettings>

#include <algorithm>
#include <utility>

namespace ShopIni {

namespace {

const QString Section = QStringLiteral("mysave1");

bool isHexDigit(char16_t unit)
{
    return (unit >= u'0' && unit <= u'9') || (unit >= u'a' && unit <= u'f') || (unit >= u'A' && unit <= u'F');
}

// A value as QSettings reads it back unchanged: always quoted (spaces at either end, commas and
// semicolons stay text), backslash escapes for quotes, backslashes and control codes, other
// characters as UTF-8, and a leading '@' doubled, since QSettings reads "@..." as a typed value.
// Written here rather than through QSettings, whose save holds a lock shared by every QSettings
// in the program while it waits for the disk, which would stall the screens during the daily backup.
QByteArray quoted(const QString& value)
{
    static constexpr std::pair<char16_t, const char*> named[] = {
        {u'"', "\\\""}, {u'\\', "\\\\"}, {u'\n', "\\n"}, {u'\r', "\\r"}, {u'\t', "\\t"}};
    QByteArray text = value.startsWith(QLatin1Char('@')) ? "\"@" : "\"";
    qsizetype plainFrom = 0;
    bool afterHexEscape = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t unit = value[i].unicode();
        const auto escape = std::find_if(std::begin(named), std::end(named),
                                         [unit](const auto& pair) { return pair.first == unit; });
        // A hex escape reads on through every hex digit, so a digit right after one is escaped too.
        const bool hexEscape =
            escape == std::end(named) && (unit < 0x20 || (afterHexEscape && isHexDigit(unit)));
        afterHexEscape = hexEscape;
        if (escape == std::end(named) && !hexEscape)
            continue;
        // Runs of other characters go as UTF-8 whole, so a pair of surrogates stays one character.
        text += QStringView(value).sliced(plainFrom, i - plainFrom).toUtf8();
        text += escape != std::end(named) ? QByteArray(escape->second) : "\\x" + QByteArray::number(unit, 16);
        plainFrom = i + 1;
    }
    return text + QStringView(value).sliced(plainFrom).toUtf8() + '"';
}

// QSettings reads files only; each call works in a folder of its own, so no other thread's file
// and no file QSettings still holds in its cache is ever shared.
class Scratch
{
public:
    Scratch() : file(dir.filePath(FileName)) {}

    ScratchFolder dir;
    QString file;
};

} // namespace

QByteArray encode(const QStringList& values)
{
    Q_ASSERT(values.size() == qsizetype(std::size(ShopSettings::Keys)));
    QByteArray ini = "[" + Section.toUtf8() + "]\n";
    for (qsizetype i = 0; i < values.size(); ++i)
        ini += ShopSettings::Keys[i].toUtf8() + '=' + quoted(values[i]) + '\n';
    return ini;
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
