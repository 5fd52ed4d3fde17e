#include "store/Csv.h"

#include "store/RegularFile.h"

#include <QFileInfo>

namespace Csv {

QString field(const QString& value)
{
    const bool quoted = value.contains(QLatin1Char(',')) || value.contains(QLatin1Char('"')) ||
                        value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n'));
    if (!quoted)
        return value;
    QString doubled = value;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

QByteArray document(const QList<QStringList>& rows)
{
    QString text;
    for (const QStringList& row : rows) {
        QStringList fields;
        fields.reserve(row.size());
        for (const QString& value : row)
            fields.append(field(value));
        text += fields.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

void save(const QString& fileName, const QList<QStringList>& rows)
{
    RegularFile::replace(fileName, document(rows), QFileInfo(fileName).fileName());
}

} // namespace Csv
