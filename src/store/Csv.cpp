#include "store/Csv.h"

#include "store/RegularFile.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace Csv {

namespace {

bool startsLikeFormula(const QString& value)
{
    static const QString starts = QStringLiteral("=+-@\t\r");
    return !value.isEmpty() && starts.contains(value.front());
}

bool isWholeNumber(const QString& value)
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+$"));
    return number.match(value).hasMatch();
}

QString quoted(const QString& value)
{
    const bool needsQuotes = value.contains(QLatin1Char(',')) || value.contains(QLatin1Char('"')) ||
                             value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n'));
    if (!needsQuotes)
        return value;
    QString doubled = value;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

QString textField(const QString& value)
{
    return quoted(startsLikeFormula(value) ? QLatin1Char('\'') + value : value);
}

} // namespace

QByteArray document(const QList<QStringList>& rows, const QList<int>& numberColumns)
{
    QString text;
    for (qsizetype line = 0; line < rows.size(); ++line) {
        const QStringList& row = rows[line];
        QStringList fields;
        fields.reserve(row.size());
        for (qsizetype column = 0; column < row.size(); ++column) {
            const QString& value = row[column];
            const bool number = line > 0 && numberColumns.contains(int(column)) && isWholeNumber(value);
            fields.append(number ? value : textField(value));
        }
        text += fields.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

void save(const QString& fileName, const QList<QStringList>& rows, const QList<int>& numberColumns)
{
    RegularFile::replace(fileName, document(rows, numberColumns), QFileInfo(fileName).fileName(),
                         RegularFile::Readers::OwnerOnly);
}

} // namespace Csv
