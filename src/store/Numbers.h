#pragma once

#include <QString>

// The number conventions shared by every screen: how text becomes a number and back.
namespace Numbers {

// The text with full-width digits, signs, point and spaces as their half-width forms, the way an
// input method in full-width mode types a number. Other characters stay as they are.
QString halfWidthNumber(const QString& text);

// The leading number of a text (full-width forms read as half-width ones): blanks, tabs and line feeds are
// ignored anywhere; an optional sign, digits, one point and an E or D exponent, or &H / &O for hexadecimal
// and octal. 0 when nothing can be read.
double readNumber(const QString& text);

// Nearest whole number, halves to even; an overflow failure outside the target's range.
qint16 toInt16(double value);
qint32 toInt32(double value);

// A weight (full-width forms read as half-width ones): the whole text must be a decimal number (spaces around
// it allowed), otherwise a type failure; the value is rounded to the nearest single-precision float.
float readWeight(const QString& text);

QString formatInteger(qint64 value);
// An amount as the screens and printouts show it: thousands separated, 「1,234,567」.
QString formatAmount(qint64 value);

// At most 7 significant digits, no trailing zeros, an exponent only for very large or small values.
QString formatFloat(float value);

} // namespace Numbers
