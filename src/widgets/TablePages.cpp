#include "widgets/TablePages.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <numeric>

namespace {

// What one page holds: rows of a table, or one of the drawn pages.
struct Page
{
    int table = -1;
    QList<int> rows;
    int drawn = -1;
};

// The widest piece of `text` between two places where a line may break.
double widestUnbreakable(const QString& text, const QFontMetricsF& metrics)
{
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    double widest = 0;
    qsizetype start = 0;
    while (breaks.toNextBoundary() != -1) {
        const qsizetype end = breaks.position();
        widest = std::max(widest, metrics.horizontalAdvance(text.mid(start, end - start).trimmed()));
        start = end;
    }
    // Laid out on the device, text can come out a little wider than measured.
    return widest > 0 ? widest + metrics.averageCharWidth() * 0.25 : 0;
}

double widestLine(const QString& text, const QFontMetricsF& metrics)
{
    double widest = 0;
    for (const QString& line : text.split(u'\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

} // namespace

QFont printedTextFont(double pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")});
    font.setPointSizeF(pointSize);
    return font;
}

QList<double> columnWidths(const PrintedTable& table, const QFontMetricsF& metrics, double available,
                           double pad)
{
    const qsizetype count = table.columns.size();
    QList<double> least(count, 0);
    QList<double> wanted(count, 0);
    for (qsizetype column = 0; column < count; ++column) {
        // A heading may take a few lines; a value, one line when there is room.
        least[column] = widestUnbreakable(table.columns[column], metrics);
        wanted[column] = widestLine(table.columns[column], metrics) / 3;
        for (const QStringList& row : table.rows) {
            const QString cell = row.value(column);
            least[column] = std::max(least[column], widestUnbreakable(cell, metrics));
            wanted[column] = std::max(wanted[column], widestLine(cell, metrics));
        }
        wanted[column] = std::max(wanted[column], least[column]);
    }
    const double leastTotal = std::accumulate(least.cbegin(), least.cend(), 0.0) + 2 * pad * double(count);
    if (leastTotal > available)
        return {};
    const double wantedTotal = std::accumulate(wanted.cbegin(), wanted.cend(), 0.0) + 2 * pad * double(count);
    QList<double> widths(count, 0);
    if (wantedTotal > available) {
        // Every column gets what may not be broken; what is left goes where values are longest.
        double over = 0;
        for (qsizetype column = 0; column < count; ++column)
            over += wanted[column] - least[column];
        for (qsizetype column = 0; column < count; ++column)
            widths[column] =
                least[column] + 2 * pad + (available - leastTotal) * (wanted[column] - least[column]) / over;
        return widths;
    }
    double relative = 0;
    for (qsizetype column = 0; column < count; ++column)
        relative += table.widths.value(column, 1);
    for (qsizetype column = 0; column < count; ++column)
        widths[column] =
            wanted[column] + 2 * pad + (available - wantedTotal) * table.widths.value(column, 1) / relative;
    return widths;
}

void paintTableDocument(const TableDocument& document, QPagedPaintDevice& device)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), document.orientation,
                                     QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    QPainter painter(&device);
    if (!painter.isActive())
        return;
    const QRectF page = painter.viewport();
    // The largest size, in half points, at which every table's columns fit across the page.
    double size = document.pointSize;
    QFont font = printedTextFont(size);
    QList<QList<double>> widths;
    for (;;) {
        const QFontMetricsF metrics(font, &device);
        widths.clear();
        for (const PrintedTable& table : document.tables)
            widths.append(columnWidths(table, metrics, page.width(), metrics.height() * 0.2));
        const bool fits = std::none_of(widths.cbegin(), widths.cend(),
                                       [](const QList<double>& fitted) { return fitted.isEmpty(); });
        if (fits || size <= MinimumPointSize)
            break;
        size = std::max(size - 0.5, MinimumPointSize);
        font = printedTextFont(size);
    }
    // Past the smallest size the relative widths hold, and long pieces wrap anyway.
    for (qsizetype index = 0; index < widths.size(); ++index) {
        if (!widths[index].isEmpty())
            continue;
        const QList<double>& relative = document.tables[index].widths;
        const double total = std::accumulate(relative.cbegin(), relative.cend(), 0.0);
        for (double width : relative)
            widths[index].append(page.width() * width / total);
    }
    painter.setFont(font);
    const QFontMetricsF metrics(font, &device);
    const double line = metrics.height();
    const double pad = line * 0.2;
    const double bottom = page.bottom() - 2 * line;

    const auto edgesOf = [&](qsizetype table) {
        QList<double> left{page.left()};
        for (double width : widths[table])
            left.append(left.last() + width);
        return left;
    };
    const auto heightOf = [&](const QList<double>& left, const QStringList& row) {
        double height = line;
        for (int column = 0; column + 1 < left.size() && column < row.size(); ++column)
            height =
                qMax(height, metrics
                                 .boundingRect(QRectF(0, 0, left[column + 1] - left[column] - 2 * pad, 1e6),
                                               Qt::TextWordWrap, row[column])
                                 .height());
        return height + 2 * pad;
    };
    const auto topOf = [&](const PrintedTable& table) {
        return page.top() + (table.heading.isEmpty() ? 2 : 3) * line;
    };

    // Rows to a page, worked out first so that every footer can say how many pages there are.
    QList<Page> pages;
    for (int index = 0; index < document.tables.size(); ++index) {
        const PrintedTable& table = document.tables[index];
        const QList<double> left = edgesOf(index);
        const double first = topOf(table) + heightOf(left, table.columns);
        pages.append({index, {}, -1});
        double y = first;
        for (int row = 0; row < table.rows.size(); ++row) {
            const double height = heightOf(left, table.rows[row]);
            if (y + height > bottom && !pages.last().rows.isEmpty()) {
                pages.append({index, {}, -1});
                y = first;
            }
            pages.last().rows.append(row);
            y += height;
        }
    }
    for (int index = 0; index < document.pages.size(); ++index)
        pages.append({-1, {}, index});

    for (int number = 0; number < pages.size(); ++number) {
        if (number > 0)
            device.newPage();
        painter.drawText(QRectF(page.left(), page.top(), page.width(), line * 1.5), Qt::AlignLeft,
                         document.title);
        const Page& content = pages[number];
        if (content.drawn >= 0) {
            const QRectF area(page.left(), page.top() + 2 * line, page.width(),
                              bottom - page.top() - 2 * line);
            painter.save();
            document.pages[content.drawn](painter, area);
            painter.restore();
        } else {
            const PrintedTable& table = document.tables[content.table];
            if (!table.heading.isEmpty())
                painter.drawText(QRectF(page.left(), page.top() + line * 1.2, page.width(), line * 1.5),
                                 Qt::AlignLeft, table.heading);
            const QList<double> left = edgesOf(content.table);
            const auto drawRow = [&](const QStringList& row, double at) {
                const double height = heightOf(left, row);
                for (int column = 0; column + 1 < left.size(); ++column) {
                    const QRectF cell(left[column], at, left[column + 1] - left[column], height);
                    painter.drawRect(cell);
                    painter.drawText(cell.adjusted(pad, pad, -pad, -pad), Qt::TextWordWrap,
                                     row.value(column));
                }
                return at + height;
            };
            double y = drawRow(table.columns, topOf(table));
            for (int row : content.rows)
                y = drawRow(table.rows[row], y);
        }
        painter.drawText(QRectF(page.left(), page.bottom() - line * 1.5, page.width(), line * 1.5),
                         Qt::AlignCenter, QStringLiteral("%1 / %2 ページ").arg(number + 1).arg(pages.size()));
    }
}
