#include "platform/CodePage932.h"

#include <iterator>
#include <memory>
#include <utility>

#include <unicode/ucnv.h>
#include <unicode/uversion.h>

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

// ICU's table exchanges three control codes as IBM's code pages do (byte 0x1A is U+001C, 0x1C is
// U+007F, 0x7F is U+001A); code page 932 on Windows keeps every byte below 0x80 as itself.
constexpr std::pair<char16_t, char16_t> SwappedControls[] = {
    {u'\u001A', u'\u001C'},
    {u'\u001C', u'\u007F'},
    {u'\u007F', u'\u001A'},
};

// `forward` maps a character to what ICU takes for its byte; otherwise back.
QString exchangeControls(QString text, bool forward)
{
    for (QChar& c : text) {
        for (const auto& [own, icu] : SwappedControls) {
            if (c.unicode() == (forward ? own : icu)) {
                c = QChar(forward ? icu : own);
                break;
            }
        }
    }
    return text;
}

} // namespace

namespace CodePage932 {

QByteArray fromUnicode(const QString& text)
{
    if (text.isEmpty())
        return {};
    const QString source = exchangeControls(text, true);
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

QString toUnicode(const QByteArray& bytes)
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
    return exchangeControls(text, false);
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

QString converterName()
{
    UVersionInfo version;
    u_getVersion(version);
    char text[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(version, text);
    return QStringLiteral("ICU ") + QString::fromLatin1(text);
}

} // namespace CodePage932
