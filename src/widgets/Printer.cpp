#include "widgets/Printer.h"

#include "platform/Fonts.h"
#include "store/Failure.h"
#include "store/RegularFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextBoundaryFinder>

namespace {

// The printout is set in 12 points; a page with a longer line than the paper holds is set smaller,
// down to the smallest size still read comfortably, and lines still too long are wrapped.
constexpr qreal LargestPoints = 12;
constexpr qreal SmallestPoints = 9;
constexpr qreal PointStep = 0.5;

// A fixed-width face with Japanese glyphs keeps the printed columns where the line layout puts them.
// IPAGothic comes before Noto: Noto draws 犬 and the radical ⽝ with one glyph, and a PDF's text
// layer then gives back the radical, so "柴犬" could not be found in the file.
QFont printFont(qreal points, QPaintDevice& device)
{
    QFont font;
    font.setFamilies(printFontFamilies());
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(points);
    return QFont(font, &device);
}

qreal widestLine(const QStringList& lines, const QFontMetricsF& metrics)
{
    qreal widest = 0;
    for (const QString& line : lines)
        widest = qMax(widest, metrics.horizontalAdvance(line));
    return widest;
}

// The largest size from 12 points down to 9 at which every line fits `width`.
QFont fittingFont(const QStringList& lines, QPaintDevice& device, qreal width)
{
    qreal points = LargestPoints;
    while (points > SmallestPoints &&
           widestLine(lines, QFontMetricsF(printFont(points, device), &device)) > width)
        points -= PointStep;
    return printFont(points, device);
}

// `line` in pieces that each fit `width`, cut between characters; the pieces after the first start
// under the line's own indent, so the columns of the printout stay recognisable.
QStringList wrapped(const QString& line, const QFontMetricsF& metrics, qreal width)
{
    qsizetype indentLength = 0;
    while (indentLength < line.size() && line.at(indentLength).isSpace())
        ++indentLength;
    const QString indent = line.left(indentLength);
    QStringList pieces;
    QString prefix;
    QString rest = line;
    while (metrics.horizontalAdvance(prefix + rest) > width) {
        QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, rest);
        qsizetype fit = characters.toNextBoundary();
        for (qsizetype next = characters.toNextBoundary(); next > 0; next = characters.toNextBoundary()) {
            if (metrics.horizontalAdvance(prefix + rest.left(next)) > width)
                break;
            fit = next;
        }
        pieces.append(prefix + rest.left(fit));
        rest = rest.mid(fit);
        prefix = indent;
    }
    pieces.append(prefix + rest);
    return pieces;
}

} // namespace

void paintLines(const QStringList& lines, QPagedPaintDevice& device, const QString& deviceName)
{
    QPainter painter;
    if (!painter.begin(&device))
        throw Failure(QStringLiteral("印刷を始められません。 (%1)").arg(deviceName));
    const qreal pageWidth = device.width();
    const QFont font = fittingFont(lines, device, pageWidth);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &device);
    const qreal pageHeight = device.height();
    qreal top = 0;
    for (const QString& line : lines) {
        for (const QString& piece : wrapped(line, metrics, pageWidth)) {
            if (top > 0 && top + metrics.height() > pageHeight) {
                if (!device.newPage())
                    throw Failure(QStringLiteral("印刷できませんでした。 (%1)").arg(deviceName));
                top = 0;
            }
            painter.drawText(QPointF(0, top + metrics.ascent()), piece);
            top += metrics.lineSpacing();
        }
    }
    if (!painter.end())
        throw Failure(QStringLiteral("印刷できませんでした。 (%1)").arg(deviceName));
}

namespace {

QPageLayout sheetOfPaper()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

} // namespace

// The PDF is made in memory: the writer does not report a failed write of its file, so a full disk
// would leave a cut-off PDF reported as saved.
QByteArray pdfBytes(const QString& title, const Painting& paint, const QString& deviceName)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    // A sheet of paper's usual margins; a printer brings its own.
    pdf.setPageLayout(sheetOfPaper());
    pdf.setTitle(title);
    paint(pdf, deviceName);
    return buffer.data();
}

void writePdf(const QString& path, const QString& title, const Painting& paint, RegularFile::Readers readers)
{
    const QString name = QFileInfo(path).fileName();
    RegularFile::replace(path, pdfBytes(title, paint, name), name, readers);
}

void writeLinesToPdf(const QStringList& lines, const QString& path, const QString& title)
{
    writePdf(path, title,
             [&](QPagedPaintDevice& device, const QString& name) { paintLines(lines, device, name); });
}

SystemPrinter::SystemPrinter(DefaultPrinter defaultPrinter) : defaultPrinter(std::move(defaultPrinter))
{
}

void SystemPrinter::print(const QStringList& lines, const QString& documentName)
{
    printDocument(documentName,
                  [&](QPagedPaintDevice& device, const QString& name) { paintLines(lines, device, name); });
}

void SystemPrinter::printDocument(const QString& documentName, const Painting& paint)
{
    const QPrinterInfo info = defaultPrinter();
    if (info.isNull())
        throw Failure(QStringLiteral("プリンタが見つかりません。"));
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(documentName);
    // A4 with the usual margins: a driver's own margins can lie where the printer cannot print. A
    // printer that needs wider ones keeps its own.
    printer.setPageLayout(sheetOfPaper());
    paint(printer, info.description().isEmpty() ? info.printerName() : info.description());
    if (printer.printerState() == QPrinter::Error)
        throw Failure(QStringLiteral("印刷できませんでした。 (%1)").arg(info.printerName()));
}
