#include "support/PdfText.h"

#include <QProcess>
#include <QRegularExpression>
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

QList<PdfWord> pdfWords(const QString& path)
{
    static const QRegularExpression tag(QStringLiteral(
        "<page width=\"([0-9.]+)\" height=\"([0-9.]+)\">|<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" "
        "xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    QList<PdfWord> words;
    int page = -1;
    QSizeF pageSize;
    for (const QRegularExpressionMatch& match : tag.globalMatch(pdftotext(QStringLiteral("-bbox"), path))) {
        if (match.capturedLength(1) > 0) {
            ++page;
            pageSize = QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble());
            continue;
        }
        const QPointF topLeft(match.captured(3).toDouble(), match.captured(4).toDouble());
        const QPointF bottomRight(match.captured(5).toDouble(), match.captured(6).toDouble());
        QString text = match.captured(7);
        text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        words.append({text, QRectF(topLeft, bottomRight), page, pageSize});
    }
    return words;
}
