#include "platform/CodePage932.h"

#include <windows.h>

namespace {

constexpr UINT CodePage = 932;

bool isLead(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool isTrail(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// Characters that have no look of their own and are dropped instead of written as '?'.
bool isDefaultIgnorable(char32_t c)
{
    return c == 0x00AD || c == 0x034F || c == 0x061C || c == 0x115F || c == 0x1160 ||
           (c >= 0x17B4 && c <= 0x17B5) || (c >= 0x180B && c <= 0x180F) || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) || c == 0x3164 ||
           (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF || c == 0xFFA0 || (c >= 0xFFF0 && c <= 0xFFF8) ||
           (c >= 0x1BCA0 && c <= 0x1BCA3) || (c >= 0x1D173 && c <= 0x1D17A) || (c >= 0xE0000 && c <= 0xE0FFF);
}

// One character decoded at `at`: its text, or an empty string when the bytes are no character.
// `length` is set to the bytes the character, or the bad sequence, takes.
QString characterAt(const QByteArray& bytes, qsizetype at, qsizetype& length)
{
    const auto first = static_cast<unsigned char>(bytes[at]);
    length = 1;
    if (first < 0x80)
        return QString(QChar(first));
    if (first >= 0xA1 && first <= 0xDF)
        return QString(QChar(0xFF61 + (first - 0xA1)));
    if (!isLead(first))
        return {};
    if (at + 1 >= bytes.size() || !isTrail(static_cast<unsigned char>(bytes[at + 1])))
        return {};
    length = 2;
    wchar_t wide[2];
    // MB_ERR_INVALID_CHARS: a code with no character fails instead of turning into a default one.
    const int written =
        MultiByteToWideChar(CodePage, MB_ERR_INVALID_CHARS, bytes.constData() + at, 2, wide, 2);
    if (written != 1)
        return {};
    return QString(QChar(wide[0]));
}

} // namespace

namespace CodePage932 {

QByteArray fromUnicode(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    const auto* units = reinterpret_cast<const wchar_t*>(text.utf16());
    for (qsizetype i = 0; i < text.size();) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const int count = pair ? 2 : 1;
        const char32_t code = pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
        if (!isDefaultIgnorable(code)) {
            char out[4];
            BOOL defaulted = FALSE;
            // No best fit: a character with no form of its own becomes '?', never a look-alike.
            const int written = text[i].isSurrogate()
                                    ? 0
                                    : WideCharToMultiByte(CodePage, WC_NO_BEST_FIT_CHARS, units + i, count,
                                                          out, sizeof(out), "?", &defaulted);
            if (written <= 0 || defaulted)
                bytes.append('?');
            else
                bytes.append(out, written);
        }
        i += count;
    }
    return bytes;
}

QString toUnicode(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        qsizetype length = 0;
        const QString character = characterAt(bytes, at, length);
        text += character.isEmpty() ? QString(QChar::ReplacementCharacter) : character;
        at += length;
    }
    return text;
}

qsizetype firstInvalidByte(const QByteArray& bytes)
{
    for (qsizetype at = 0; at < bytes.size();) {
        qsizetype length = 0;
        if (characterAt(bytes, at, length).isEmpty())
            return at;
        at += length;
    }
    return -1;
}

QString converterName()
{
    return {};
}

} // namespace CodePage932
