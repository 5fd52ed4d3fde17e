#include "store/Csv.h"

#include "store/Failure.h"

#include <QFileInfo>
#include <QSaveFile>

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
    const QByteArray bytes = document(rows);
    const QString shownName = QFileInfo(fileName).fileName();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure::cannotWrite(shownName);
    // commit() would not notice a short write of the buffered bytes; flush() does.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        throw Failure::cannotWrite(shownName);
}

} // namespace Csv
