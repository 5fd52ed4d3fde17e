#include "platform/TablePages.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

namespace {

// What one page holds: rows of a table, or one of the drawn pages.
struct Page
{
    int table = -1;
    QList<int> rows;
    int drawn = -1;
};

} // namespace

void paintTableDocument(const TableDocument& document, QPagedPaintDevice& device)
{
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), document.orientation,
                                     QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    QPainter painter(&device);
    if (!painter.isActive())
        return;
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")});
    font.setPointSizeF(document.pointSize);
    painter.setFont(font);
    const QRectF page = painter.viewport();
    const QFontMetricsF metrics(font, &device);
    const double line = metrics.height();
    const double pad = line * 0.2;
    const double bottom = page.bottom() - 2 * line;

    const auto edgesOf = [&](const PrintedTable& table) {
        double total = 0;
        for (double width : table.widths)
            total += width;
        QList<double> left{page.left()};
        for (double width : table.widths)
            left.append(left.last() + page.width() * width / total);
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
        const QList<double> left = edgesOf(table);
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
            const QList<double> left = edgesOf(table);
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
