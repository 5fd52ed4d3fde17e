#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>
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

// One word of a PDF's text layer with its box on its page, in points from the page's top left.
struct PdfWord
{
    QString text;
    QRectF box;
    int page = 0; // from 0
    QSizeF pageSize;
};
// The words in the order they were drawn, page by page.
QList<PdfWord> pdfWords(const QString& path);
