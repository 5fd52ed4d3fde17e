#pragma once

#include "store/RegularFile.h"

#include <QByteArray>
#include <QList>
#include <QPrinterInfo>
#include <QString>
#include <QStringList>

#include <functional>

class QPagedPaintDevice;

// Paints a document on a printer or into a PDF file; `deviceName` names the device in a failure.
using Painting = std::function<void(QPagedPaintDevice& device, const QString& deviceName)>;

// Lines of text at 12 points, laid down from the top of the first page one below the other, a new
// page when one is full. When the longest line is wider than the page, the whole page is set smaller
// until it fits, down to 9 points; lines still too wide are wrapped. The same painting goes to a
// printer or into a PDF file.
void paintLines(const QStringList& lines, QPagedPaintDevice& device, const QString& deviceName);

// Writes a painted document into a PDF file at `path` on A4 with the usual margins, its text
// searchable; a failure when it cannot be written. `readers` as for RegularFile::write.
void writePdf(const QString& path, const QString& title, const Painting& paint,
              RegularFile::Readers readers = RegularFile::Readers::AsUmask);
// The PDF a painting makes on A4 with the usual margins, titled `title`.
QByteArray pdfBytes(const QString& title, const Painting& paint, const QString& deviceName);
void writeLinesToPdf(const QStringList& lines, const QString& path, const QString& title);

// Where printed documents go, so tests can see what would have been printed. Each print ends its
// document, so the job goes to the printer; a failure when there is no printer or it fails.
class Printer
{
public:
    virtual ~Printer() = default;
    virtual void print(const QStringList& lines, const QString& documentName) = 0;
    virtual void printDocument(const QString& documentName, const Painting& paint) = 0;
};

// The system's default printer, on A4 with the usual margins.
class SystemPrinter final : public Printer
{
public:
    using DefaultPrinter = std::function<QPrinterInfo()>;
    explicit SystemPrinter(DefaultPrinter defaultPrinter = &QPrinterInfo::defaultPrinter);

    void print(const QStringList& lines, const QString& documentName) override;
    void printDocument(const QString& documentName, const Painting& paint) override;

private:
    DefaultPrinter defaultPrinter;
};
