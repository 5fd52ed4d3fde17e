#include "store/Sjis.h"

#include "platform/CodePage932.h"

#include <utility>

namespace {

// Input methods and web pages outside Windows give these marks their JIS code points, which code
// page 932 keeps under other ones; without this a typed 〜 or − would be written as '?'.
QString withCodePage932Marks(const QString& text)
{
    static constexpr std::pair<char16_t, char16_t> marks[] = {
        {u'\u301C', u'\uFF5E'}, // 〜 → ～
        {u'\u2212', u'\uFF0D'}, // − → －
        {u'\u2016', u'\u2225'}, // ‖ → ∥
        {u'\u2014', u'\u2015'}, // — → ―
        {u'\u00A2', u'\uFFE0'}, // ¢ → ￠
        {u'\u00A3', u'\uFFE1'}, // £ → ￡
        {u'\u00AC', u'\uFFE2'}, // ¬ → ￢
        // Japanese keyboards type the yen sign as U+00A5; code page 932 keeps it at byte 0x5C.
        {u'\u00A5', u'\u005C'}, // ¥ → 0x5C
    };
    QString mapped = text;
    for (QChar& c : mapped) {
        for (const auto& [jis, codePage] : marks) {
            if (c.unicode() == jis)
                c = QChar(codePage);
        }
    }
    return mapped;
}

} // namespace

namespace Sjis {

QByteArray encode(const QString& text)
{
    return CodePage932::fromUnicode(withCodePage932Marks(text));
}

QString decode(const QByteArray& bytes)
{
    return CodePage932::toUnicode(bytes);
}

qsizetype firstInvalidByte(const QByteArray& bytes)
{
    return CodePage932::firstInvalidByte(bytes);
}

bool isLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

QByteArray fitField(const QString& text, int width)
{
    const QByteArray encoded = encode(text);
    QByteArray field(width, ' ');
    int i = 0;
    while (i < width && i < encoded.size()) {
        const int length = isLeadByte(static_cast<unsigned char>(encoded[i])) ? 2 : 1;
        if (i + length > width)
            break; // the orphan lead byte stays a space
        for (int k = 0; k < length && i + k < encoded.size(); ++k)
            field[i + k] = encoded[i + k];
        i += length;
    }
    return field;
}

QString displayText(const QByteArray& bytes)
{
    // Japanese Windows shows byte 0x5C as the yen sign, and so do the shop's screens and papers;
    // written back, the sign is 0x5C again.
    QString text = decode(bytes);
    text.replace(QLatin1Char('\\'), QChar(u'\u00A5'));
    return text;
}

QString fieldText(const QByteArray& field)
{
    return displayText(field);
}

QString shownText(const QByteArray& field)
{
    const qsizetype zero = field.indexOf('\0');
    return displayText(zero < 0 ? field : field.left(zero));
}

} // namespace Sjis
