#include "store/Sjis.h"

#include <unicode/ucnv.h>

#include <iterator>
#include <memory>
#include <utility>

namespace {

struct ConverterCloser
{
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};

// One converter for the whole run; the program converts on its one thread.
UConverter* converter()
{
    static const std::unique_ptr<UConverter, ConverterCloser> instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* opened = ucnv_open("windows-31j", &status);
        Q_ASSERT(U_SUCCESS(status));
        ucnv_setSubstChars(opened, "?", 1, &status);
        Q_ASSERT(U_SUCCESS(status));
        return std::unique_ptr<UConverter, ConverterCloser>(opened);
    }();
    return instance.get();
}

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
    if (text.isEmpty())
        return {};
    const QString source = withCodePage932Marks(text);
    UConverter* conv = converter();
    ucnv_resetFromUnicode(conv);
    // At most two bytes for each UTF-16 unit.
    QByteArray bytes(source.size() * 2 + 2, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t written =
        ucnv_fromUChars(conv, bytes.data(), bytes.size(), reinterpret_cast<const UChar*>(source.utf16()),
                        source.size(), &status);
    Q_ASSERT(U_SUCCESS(status));
    bytes.truncate(written);
    return bytes;
}

QString decode(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    UConverter* conv = converter();
    ucnv_resetToUnicode(conv);
    QString text(bytes.size(), Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t written = ucnv_toUChars(conv, reinterpret_cast<UChar*>(text.data()), text.size(),
                                          bytes.constData(), bytes.size(), &status);
    Q_ASSERT(U_SUCCESS(status));
    text.truncate(written);
    return text;
}

qsizetype firstInvalidByte(const QByteArray& bytes)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, ConverterCloser> strict(ucnv_open("windows-31j", &status));
    Q_ASSERT(U_SUCCESS(status));
    ucnv_setToUCallBack(strict.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    Q_ASSERT(U_SUCCESS(status));

    const char* source = bytes.constData();
    const char* const end = source + bytes.size();
    UChar chunk[1024];
    do {
        UChar* target = chunk;
        status = U_ZERO_ERROR;
        ucnv_toUnicode(strict.get(), &target, chunk + std::size(chunk), &source, end, nullptr, true, &status);
        if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) {
            // The source stops just past the bytes that were refused.
            char invalid[8];
            int8_t length = sizeof(invalid);
            UErrorCode ignored = U_ZERO_ERROR;
            ucnv_getInvalidChars(strict.get(), invalid, &length, &ignored);
            return (source - bytes.constData()) - length;
        }
    } while (status == U_BUFFER_OVERFLOW_ERROR);
    return -1;
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
