#include "platform/Printer.h"

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

namespace {

// A fixed-width face with Japanese glyphs keeps the printed columns where the line layout puts them.
QFont printFont()
{
    QFont font;
    font.setFamilies(printFontFamilies());
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(12);
    return font;
}

} // namespace

void paintLines(const QStringList& lines, QPagedPaintDevice& device, const QString& deviceName)
{
    QPainter painter;
    if (!painter.begin(&device))
        throw Failure(QStringLiteral("印刷を始められません。 (%1)").arg(deviceName));
    const QFont font(printFont(), &device);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &device);
    const qreal pageHeight = device.height();
    qreal top = 0;
    for (const QString& line : lines) {
        if (top > 0 && top + metrics.height() > pageHeight) {
            if (!device.newPage())
                throw Failure(QStringLiteral("印刷できませんでした。 (%1)").arg(deviceName));
            top = 0;
        }
        painter.drawText(QPointF(0, top + metrics.ascent()), line);
        top += metrics.lineSpacing();
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

} // namespace

void writePdf(const QString& path, const QString& title, const Painting& paint)
{
    const QString name = QFileInfo(path).fileName();
    RegularFile::replace(path, pdfBytes(title, paint, name), name);
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
    paint(printer, info.description().isEmpty() ? info.printerName() : info.description());
    if (printer.printerState() == QPrinter::Error)
        throw Failure(QStringLiteral("印刷できませんでした。 (%1)").arg(info.printerName()));
}

void RecordingPrinter::print(const QStringList& lines, const QString& documentName)
{
    if (!failure.isEmpty())
        throw Failure(failure);
    documents.append({documentName, lines, {}});
}

void RecordingPrinter::printDocument(const QString& documentName, const Painting& paint)
{
    if (!failure.isEmpty())
        throw Failure(failure);
    documents.append({documentName, {}, pdfBytes(documentName, paint, QStringLiteral("PDF"))});
}
