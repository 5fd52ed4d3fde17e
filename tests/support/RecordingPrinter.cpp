#include "support/RecordingPrinter.h"

#include "store/Failure.h"

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
