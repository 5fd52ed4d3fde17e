#pragma once

#include <QList>
#include <QPrinterInfo>
#include <QString>
#include <QStringList>

#include <functional>

class QPagedPaintDevice;

// Lines of text at 12 points, laid down from the top of the first page one below the other, a new
// page when one is full. The same painting goes to a printer or into a PDF file.
void paintLines(const QStringList& lines, QPagedPaintDevice& device, const QString& deviceName);

// Writes `lines` into a PDF file at `path`, painted as on paper; a failure when it cannot be written.
void writeLinesToPdf(const QStringList& lines, const QString& path, const QString& title);

// Where printed documents go, so tests can see what would have been printed.
class Printer
{
public:
    virtual ~Printer() = default;
    // Prints one document and ends it, so the job goes to the printer; a failure when there is no
    // printer or it fails.
    virtual void print(const QStringList& lines, const QString& documentName) = 0;
};

// The system's default printer, with its own page size and margins.
class SystemPrinter final : public Printer
{
public:
    using DefaultPrinter = std::function<QPrinterInfo()>;
    explicit SystemPrinter(DefaultPrinter defaultPrinter = &QPrinterInfo::defaultPrinter);

    void print(const QStringList& lines, const QString& documentName) override;

private:
    DefaultPrinter defaultPrinter;
};

// Keeps every document it is given instead of printing it, or fails as a broken printer would.
class RecordingPrinter final : public Printer
{
public:
    struct Document
    {
        QString name;
        QStringList lines;
    };

    void print(const QStringList& lines, const QString& documentName) override;

    QList<Document> documents;
    // When set, every print fails with this description and nothing is kept.
    QString failure;
};
