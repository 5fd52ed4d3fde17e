#include "chartlist/CsvFile.h"

#include "store/Failure.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

QString csvValue(const QString& value)
{
    if (!value.contains(u',') && !value.contains(u'"') && !value.contains(u'\n') && !value.contains(u'\r'))
        return value;
    QString quoted = value;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString csvLine(const QStringList& values)
{
    QStringList cells;
    cells.reserve(values.size());
    for (const QString& value : values)
        cells.append(csvValue(value));
    return cells.join(u',') + QStringLiteral("\r\n");
}

} // namespace

QByteArray csvBytes(const QStringList& headings, const QList<QStringList>& rows)
{
    QString text = csvLine(headings);
    for (const QStringList& row : rows)
        text += csvLine(row);
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

void writeCsvFile(const QString& path, const QStringList& headings, const QList<QStringList>& rows)
{
    const QString name = QFileInfo(path).fileName();
    const QByteArray bytes = csvBytes(headings, rows);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure::cannotWrite(name);
    // The explicit flush catches a short write (a full disk) that commit() would not notice.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        throw Failure::cannotWrite(name);
}
