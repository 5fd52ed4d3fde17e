#pragma once

#include <QString>
#include <QStringList>

// What poppler's pdftotext reads back from a PDF file, for the tests that check a written PDF.
bool canReadPdfText();
// The text laid out as it is printed.
QString pdfText(const QString& path);
// The text in the order it was drawn: a title wrapped in its cell stays in one piece.
QString pdfTextAsDrawn(const QString& path);
// The laid-out lines that hold text, each with its runs of spaces made one.
QStringList pdfTextLines(const QString& path);
