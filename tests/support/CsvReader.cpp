#include "support/CsvReader.h"

#include <utility>

QList<QStringList> readCsv(const QString& text)
{
    QList<QStringList> rows;
    QStringList row;
    QString value;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                value += text.at(++i);
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                value += c;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            row.append(std::exchange(value, QString()));
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            // Outside quotes any line break ends the row, as spreadsheet programs read it.
            row.append(std::exchange(value, QString()));
            rows.append(std::exchange(row, QStringList()));
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            value += c;
        }
    }
    return rows;
}

QList<QStringList> readCsvFile(const QByteArray& bytes)
{
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        return {};
    return readCsv(QString::fromUtf8(bytes.mid(3)));
}
