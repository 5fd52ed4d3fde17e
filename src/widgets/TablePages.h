#pragma once

#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <functional>

class QFont;
class QFontMetricsF;
class QPagedPaintDevice;
class QPainter;
class QRectF;

// One table of a printed document; it starts on a page of its own and its column headings are
// repeated on every page it fills.
struct PrintedTable
{
    QString heading; // under the title, above the columns; may be empty
    QStringList columns;
    QList<double> widths; // relative, one per column: how a page wider than the table needs shares its room
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

// The proportional font of printed tables and sheets. IPA fonts come before Noto: their text layer gives
// back the characters written, where Noto's shared glyphs would give back look-alike radicals.
QFont printedTextFont(double pointSize);

// A4 pages, each headed with the title and footed with 「n / N ページ」; cells wrap their text. When
// the columns do not fit at the document's point size the whole document is set smaller, down to
// MinimumPointSize, so that no date, number or word is ever broken inside.
void paintTableDocument(const TableDocument& document, QPagedPaintDevice& device);

inline constexpr double MinimumPointSize = 5;

// The widths of a table's columns, each with `pad` on both sides, sharing `available`: every column
// at least as wide as the widest piece of its cells that may not be broken over lines (a date, a
// number, a word), the rest of the room given first to what the longest values need, then as the
// table's relative widths say. Empty when even the pieces that may not be broken do not fit.
QList<double> columnWidths(const PrintedTable& table, const QFontMetricsF& metrics, double available,
                           double pad);
