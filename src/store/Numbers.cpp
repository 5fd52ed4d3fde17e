#include "store/Numbers.h"

#include "store/Failure.h"

#include <QRegularExpression>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

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

} // namespace

double readNumber(const QString& text)
{
    QString s;
    s.reserve(text.size());
    for (const QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n'))
            s.append(c);
    }
    if (s.startsWith(QLatin1String("&H"), Qt::CaseInsensitive))
        return finiteOrOverflow(readRadix(s.mid(2), 16));
    if (s.startsWith(QLatin1String("&O"), Qt::CaseInsensitive))
        return finiteOrOverflow(readRadix(s.mid(2), 8));

    static const QRegularExpression leadingNumber(
        QStringLiteral("^[+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)(?:[EeDd][+-]?[0-9]+)?"));
    const QRegularExpressionMatch match = leadingNumber.match(s);
    if (!match.hasMatch())
        return 0;
    std::string number = match.captured().toStdString();
    for (char& c : number) {
        if (c == 'D' || c == 'd')
            c = 'e';
    }
    if (number.front() == '+')
        number.erase(0, 1);
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small to tell from zero reads as zero; too large is an overflow.
        const bool tiny = number.find("e-") != std::string::npos;
        if (tiny)
            return 0;
        throw Failure::overflow();
    }
    return finiteOrOverflow(value);
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
    const QRegularExpressionMatch match = decimal.match(text);
    if (!match.hasMatch())
        throw Failure::typeMismatch();
    std::string number = match.captured(1).toStdString();
    if (number.front() == '+')
        number.erase(0, 1);
    float value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (number.find("e-") != std::string::npos || number.find("E-") != std::string::npos)
            return 0;
        throw Failure::overflow();
    }
    return value;
}

QString formatInteger(qint64 value)
{
    return QString::number(value);
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
