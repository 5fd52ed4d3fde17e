#pragma once

#include <QByteArray>
#include <QString>

// The system's own conversion between text and code page 932 bytes, the same on every system.
namespace CodePage932 {

// Each character without a code page 932 form becomes one '?'; invisible format characters
// (zero-width joiners, variation selectors, soft hyphens and the like) are left out.
QByteArray fromUnicode(const QString& text);

// Each byte sequence that is no code page 932 character becomes one U+FFFD: a lead byte and the
// trail byte after it count as one, a lead byte followed by no trail byte counts on its own.
QString toUnicode(const QByteArray& bytes);

// The offset of the first byte that does not belong to a code page 932 character, or -1. Any
// thread may call it.
qsizetype firstInvalidByte(const QByteArray& bytes);

// The library that converts, with its version ("ICU 72.1"); empty where the system converts.
QString converterName();

} // namespace CodePage932
