#include "support/PdfText.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

QString pdftotext(const QString& order, const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {order, path, QStringLiteral("-")});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

bool canReadPdfText()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

QString pdfText(const QString& path)
{
    return pdftotext(QStringLiteral("-layout"), path);
}

QString pdfTextAsDrawn(const QString& path)
{
    return pdftotext(QStringLiteral("-raw"), path);
}

QStringList pdfTextLines(const QString& path)
{
    QStringList lines;
    for (const QString& line : pdfText(path).split(u'\n'))
        if (!line.trimmed().isEmpty())
            lines.append(line.simplified());
    return lines;
}
