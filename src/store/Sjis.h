#pragma once

#include <QByteArray>
#include <QString>

// Code page 932 (the Windows variant of Shift_JIS), the encoding of every file the shop keeps.
namespace Sjis {

// Characters without a code page 932 form come out as '?'. The JIS forms of 〜 − ‖ — ¢ £ ¬ are
// written as their code page 932 counterparts, the yen sign ¥ as byte 0x5C; invisible format characters
// (zero-width joiners, variation selectors, soft hyphens) are left out.
QByteArray encode(const QString& text);
QString decode(const QByteArray& bytes);

// Stored text as the shop sees it: decoded, with byte 0x5C shown as the yen sign.
QString displayText(const QByteArray& bytes);

// The bytes a fixed-width field of `width` bytes holds for `text`: the leading bytes that fit,
// never half a two-byte character (that byte becomes a space), padded with spaces.
QByteArray fitField(const QString& text, int width);

// The whole field as displayText shows it, trailing spaces (and zero bytes) included.
QString fieldText(const QByteArray& field);

// What a screen shows of a field: the displayText of the bytes before its first zero byte.
QString shownText(const QByteArray& field);

bool isLeadByte(unsigned char byte);

// The offset of the first byte that does not belong to a code page 932 character (a stray trail
// byte, a lead byte cut off at the end, a two-byte code with no character), or -1 when there is
// none. It opens a converter of its own, so any thread may call it.
qsizetype firstInvalidByte(const QByteArray& bytes);

} // namespace Sjis
