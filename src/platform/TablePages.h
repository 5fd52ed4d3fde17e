#pragma once

#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <functional>

class QPagedPaintDevice;
class QPainter;
class QRectF;

// One table of a printed document; it starts on a page of its own and its column headings are
// repeated on every page it fills.
struct PrintedTable
{
    QString heading; // under the title, above the columns; may be empty
    QStringList columns;
    QList<double> widths; // relative, one per column
    QList<QStringList> rows;
};

// A page after the tables, drawn into the area below the title.
using PagePainting = std::function<void(QPainter& painter, const QRectF& area)>;

struct TableDocument
{
    QString title;
    QList<PrintedTable> tables;
    QList<PagePainting> pages;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    double pointSize = 9;
};

// A4 pages, each headed with the title and footed with 「n / N ページ」; cells wrap their text.
void paintTableDocument(const TableDocument& document, QPagedPaintDevice& device);
