#include "store/Numbers.h"

#include "store/Failure.h"

#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace Numbers {

namespace {

double readRadix(const QString& digits, int radix)
{
    double value = 0;
    for (const QChar c : digits) {
        const char16_t u = c.toUpper().unicode();
        const int digit = u >= u'0' && u <= u'9' ? u - u'0' : u >= u'A' && u <= u'F' ? u - u'A' + 10 : radix;
        if (digit >= radix)
            break;
        value = value * radix + digit;
    }
    return value;
}

double finiteOrOverflow(double value)
{
    if (!std::isfinite(value))
        throw Failure::overflow();
    return value;
}

// Whether a decimal number that does not fit its type is too large rather than too small to
// tell from zero, judged by the power of ten of its first significant digit.
bool isTooLarge(std::string_view number)
{
    const std::size_t e = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, e);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos)
        return false;
    qint64 power = first < point ? qint64(point - first - 1) : -qint64(first - point);
    if (e != std::string_view::npos) {
        std::string_view exponent = number.substr(e + 1);
        const bool negative = exponent.front() == '-';
        if (negative || exponent.front() == '+')
            exponent.remove_prefix(1);
        qint64 value = 0;
        if (std::from_chars(exponent.data(), exponent.data() + exponent.size(), value).ec != std::errc())
            return !negative; // an exponent of more than 18 digits outweighs any mantissa
        power += negative ? -value : value;
    }
    return power >= 0;
}

// A well-formed decimal number (no leading '+') as T: too large is an overflow, too small reads as 0.
template <typename T> T parseDecimal(const std::string& number)
{
    T value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (isTooLarge(number))
            throw Failure::overflow();
        return 0;
    }
    return value;
}

// The length of the number `s` starts with: a sign, digits with a point and more digits or a point and
// digits, and an exponent (E or D) with digits; 0 when it starts with none. Scanned by hand, as every
// record number shown goes through here and a regular expression would load its library for it.
qsizetype leadingNumberLength(const QString& s)
{
    const auto digitsFrom = [&](qsizetype at) {
        while (at < s.size() && s[at] >= QLatin1Char('0') && s[at] <= QLatin1Char('9'))
            ++at;
        return at;
    };
    qsizetype at = 0;
    if (at < s.size() && (s[at] == QLatin1Char('+') || s[at] == QLatin1Char('-')))
        ++at;
    const qsizetype whole = digitsFrom(at);
    qsizetype end = whole;
    if (whole < s.size() && s[whole] == QLatin1Char('.')) {
        const qsizetype fraction = digitsFrom(whole + 1);
        if (whole > at || fraction > whole + 1)
            end = fraction;
    }
    if (end == at)
        return 0;
    if (end < s.size() && QStringLiteral("EeDd").contains(s[end])) {
        qsizetype exponent = end + 1;
        if (exponent < s.size() && (s[exponent] == QLatin1Char('+') || s[exponent] == QLatin1Char('-')))
            ++exponent;
        if (const qsizetype digits = digitsFrom(exponent); digits > exponent)
            end = digits;
    }
    return end;
}

} // namespace

QString halfWidthNumber(const QString& text)
{
    QString folded = text;
    for (QChar& c : folded) {
        const char16_t u = c.unicode();
        if (u >= u'\uFF10' && u <= u'\uFF19')
            c = QChar(u'0' + (u - u'\uFF10'));
        else if (u == u'\uFF0E')
            c = QLatin1Char('.');
        else if (u == u'\uFF0D' || u == u'\u2212')
            c = QLatin1Char('-');
        else if (u == u'\uFF0B')
            c = QLatin1Char('+');
        else if (u == u'\u3000')
            c = QLatin1Char(' ');
    }
    return folded;
}

double readNumber(const QString& text)
{
    QString s;
    s.reserve(text.size());
    for (const QChar c : halfWidthNumber(text)) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n'))
            s.append(c);
    }
    if (s.startsWith(QLatin1String("&H"), Qt::CaseInsensitive))
        return finiteOrOverflow(readRadix(s.mid(2), 16));
    if (s.startsWith(QLatin1String("&O"), Qt::CaseInsensitive))
        return finiteOrOverflow(readRadix(s.mid(2), 8));

    const qsizetype length = leadingNumberLength(s);
    if (length == 0)
        return 0;
    std::string number = s.left(length).toStdString();
    for (char& c : number) {
        if (c == 'D' || c == 'd')
            c = 'e';
    }
    if (number.front() == '+')
        number.erase(0, 1);
    return parseDecimal<double>(number);
}

qint16 toInt16(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        throw Failure::overflow();
    return static_cast<qint16>(rounded);
}

qint32 toInt32(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        throw Failure::overflow();
    return static_cast<qint32>(rounded);
}

float readWeight(const QString& text)
{
    static const QRegularExpression decimal(
        QStringLiteral("^ *([+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)(?:[Ee][+-]?[0-9]+)?) *$"));
    const QRegularExpressionMatch match = decimal.match(halfWidthNumber(text));
    if (!match.hasMatch())
        throw Failure::typeMismatch();
    std::string number = match.captured(1).toStdString();
    if (number.front() == '+')
        number.erase(0, 1);
    return parseDecimal<float>(number);
}

QString formatInteger(qint64 value)
{
    return QString::number(value);
}

QString formatAmount(qint64 value)
{
    const quint64 size = value < 0 ? 0 - quint64(value) : quint64(value);
    QString digits = QString::number(size);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

QString formatFloat(float value)
{
    if (value == 0)
        return QStringLiteral("0");
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.7G", static_cast<double>(value));
    QString text = QString::fromLatin1(buffer);
    // The C library follows the process locale; the shop's files and screens use a point.
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    return text;
}

} // namespace Numbers
