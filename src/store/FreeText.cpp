#include "store/FreeText.h"

#include <QRegularExpression>

std::optional<qint64> readPrice(const QString& text)
{
    QString amount = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (amount.startsWith(u'¥') || amount.startsWith(u'\\'))
        amount.remove(0, 1);
    if (amount.endsWith(u'円'))
        amount.chop(1);
    static const QRegularExpression grouped(QStringLiteral("^\\s*([0-9]{1,3}(?:,[0-9]{3})+|[0-9]+)\\s*$"));
    const QRegularExpressionMatch match = grouped.match(amount);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 value = match.captured(1).remove(u',').toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

std::optional<QDate> readDate(const QString& text)
{
    static const QRegularExpression date(QStringLiteral(
        "^\\s*([0-9]{4})\\s*[/.\\-年]\\s*([0-9]{1,2})\\s*[/.\\-月]\\s*([0-9]{1,2})\\s*日?\\s*$"));
    const QRegularExpressionMatch match = date.match(text.normalized(QString::NormalizationForm_KC));
    if (!match.hasMatch())
        return std::nullopt;
    const QDate value(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    return value.isValid() ? std::optional<QDate>(value) : std::nullopt;
}
