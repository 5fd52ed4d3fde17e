#include "store/DateText.h"

#include <QRegularExpression>

#include <array>

namespace {

struct Era
{
    QChar letter;
    QString name;
    QDate first;
    QDate last;
};

// The eras a living animal's or buyer's dates can fall in; the last one is open-ended.
const std::array<Era, 5>& eras()
{
    static const std::array<Era, 5> table{{
        {u'M', QStringLiteral("明治"), QDate(1868, 1, 25), QDate(1912, 7, 29)},
        {u'T', QStringLiteral("大正"), QDate(1912, 7, 30), QDate(1926, 12, 24)},
        {u'S', QStringLiteral("昭和"), QDate(1926, 12, 25), QDate(1989, 1, 7)},
        {u'H', QStringLiteral("平成"), QDate(1989, 1, 8), QDate(2019, 4, 30)},
        {u'R', QStringLiteral("令和"), QDate(2019, 5, 1), QDate()},
    }};
    return table;
}

const Era* eraNamed(const QString& text)
{
    for (const Era& era : eras())
        if (text.compare(QString(era.letter), Qt::CaseInsensitive) == 0 || text == era.name)
            return &era;
    return nullptr;
}

QDate eraDate(const Era& era, int eraYear, int month, int day)
{
    const QDate date(era.first.year() + eraYear - 1, month, day);
    if (!date.isValid() || date < era.first || (era.last.isValid() && date > era.last))
        return {};
    return date;
}

} // namespace

QDate readShopDate(const QString& text)
{
    QString folded = text.normalized(QString::NormalizationForm_KC);
    // Compiled once: a date is read for every chart when whole lists are counted.
    static const QRegularExpression spaces(QStringLiteral("\\s"));
    folded.remove(spaces);

    static const QRegularExpression western(QStringLiteral(
        "^([0-9]{4})(?:([/.\\-])([0-9]{1,2})\\2([0-9]{1,2})|年([0-9]{1,2})月([0-9]{1,2})日)$"));
    if (const QRegularExpressionMatch match = western.match(folded); match.hasMatch()) {
        const bool kanji = match.capturedLength(2) == 0;
        return QDate(match.captured(1).toInt(), match.captured(kanji ? 5 : 3).toInt(),
                     match.captured(kanji ? 6 : 4).toInt());
    }

    static const QRegularExpression japanese(QStringLiteral(
        "^([MTSHRmtshr]|明治|大正|昭和|平成|令和)([0-9]{1,2}|元)(?:([/.\\-])([0-9]{1,2})\\3([0-9]{1,2})|"
        "年([0-9]{1,2})月([0-9]{1,2})日)$"));
    const QRegularExpressionMatch match = japanese.match(folded);
    if (!match.hasMatch())
        return {};
    const Era* era = eraNamed(match.captured(1));
    const int eraYear = match.captured(2) == u"元" ? 1 : match.captured(2).toInt();
    if (era == nullptr || eraYear < 1)
        return {};
    const bool kanji = match.capturedLength(3) == 0;
    return eraDate(*era, eraYear, match.captured(kanji ? 6 : 4).toInt(),
                   match.captured(kanji ? 7 : 5).toInt());
}
