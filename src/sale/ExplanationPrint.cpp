#include "sale/ExplanationPrint.h"

#include "store/Failure.h"
#include "widgets/TablePages.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextDocument>
#include <QTextFrame>

namespace {

QString escaped(const QString& text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

QString shopBlock(const ExplanationSheet& sheet)
{
    const auto row = [](const QString& caption, const QString& value) {
        return QStringLiteral("<tr><td class='caption'>%1</td><td>%2</td></tr>")
            .arg(caption, escaped(value.isEmpty() ? ExplanationSheet::Missing : value));
    };
    return QStringLiteral("<table class='shop'>") + row(QStringLiteral("販売業者"), sheet.shopName) +
           row(QStringLiteral("所在地"), sheet.shopAddress) +
           row(QStringLiteral("電話番号"), sheet.shopPhone) +
           row(QStringLiteral("動物取扱業 登録番号"), sheet.dealer.registrationNumber) +
           row(QStringLiteral("動物取扱責任者"), sheet.dealer.animalHandler) + QStringLiteral("</table>");
}

QString itemsBlock(const ExplanationSheet& sheet)
{
    QString html =
        QStringLiteral("<table class='items' width='100%' border='1' cellspacing='0' cellpadding='3'>");
    for (const SheetItem& item : sheet.items)
        html += QStringLiteral("<tr><td class='number'>%1</td><td class='title'>%2</td><td>%3</td></tr>")
                    .arg(item.number)
                    .arg(escaped(item.title), escaped(item.value));
    return html + QStringLiteral("</table>");
}

// The recorded day, or room to write it by hand.
QString handedOver(const QDate& day)
{
    if (!day.isValid())
        return QStringLiteral("　　　　年　　月　　日");
    return QStringLiteral("%1年%2月%3日").arg(day.year()).arg(day.month()).arg(day.day());
}

QString sheetHtml(const ExplanationSheet& sheet)
{
    return QStringLiteral("<html><head><style>"
                          "h1 { font-size: 16pt; text-align: center; }"
                          "td { padding: 3px; vertical-align: top; }"
                          "td.caption, td.title { font-weight: bold; }"
                          "td.number { width: 2em; text-align: right; }"
                          "td.title { width: 38%; }"
                          "table.items { border-collapse: collapse; border-color: #808080; }"
                          "p.signature { white-space: pre; }"
                          "p.chip { font-size: 12pt; }"
                          "</style></head><body>") +
           QStringLiteral("<h1>販売時説明書（カルテ %1）</h1>").arg(sheet.recordNumber) + shopBlock(sheet) +
           QStringLiteral("<p>動物の販売に当たり、次の事項を説明します。</p>") + itemsBlock(sheet) +
           QStringLiteral("<p class='chip'><b>マイクロチップ番号</b>　%1</p>").arg(escaped(sheet.microchip)) +
           // The receipt and the lines to date and sign it stay together in one paragraph.
           QStringLiteral("<p class='signature'>%1<br><br>説明書交付日　%2<br><br>購入者氏名　%3<br><br>"
                          "購入者署名　______________________________</p>")
               .arg(escaped(ExplanationSheet::Receipt), handedOver(sheet.explainedOn),
                    sheet.buyerName.isEmpty() ? QStringLiteral("______________________________")
                                              : escaped(sheet.buyerName) + QStringLiteral("　様")) +
           QStringLiteral("</body></html>");
}

// The sheet laid out on the pages of one device, below the heading band every page carries.
class SheetLayout
{
public:
    SheetLayout(const ExplanationSheet& sheet, QPagedPaintDevice& device)
        : headingFont(printedTextFont(9), &device),
          headingHeight(QFontMetricsF(headingFont, &device).lineSpacing() * 2),
          body(device.width(), device.height() - headingHeight)
    {
        document.documentLayout()->setPaintDevice(&device);
        document.setDefaultFont(printedTextFont(10));
        document.setHtml(sheetHtml(sheet));
        // The page's own margins are the sheet's margins.
        QTextFrameFormat frame = document.rootFrame()->frameFormat();
        frame.setMargin(0);
        document.rootFrame()->setFrameFormat(frame);
        document.setPageSize(body);
    }

    int pages() const { return document.pageCount(); }

    void paintPage(QPainter& painter, const QString& heading, int page) const
    {
        const int of = pages();
        painter.setFont(headingFont);
        const QRectF band(0, 0, body.width(), headingHeight);
        painter.drawText(band, Qt::AlignLeft | Qt::AlignTop, heading);
        painter.drawText(band, Qt::AlignRight | Qt::AlignTop,
                         QStringLiteral("%1 / %2 ページ").arg(page + 1).arg(of));
        painter.save();
        const QRectF shown(0, page * body.height(), body.width(), body.height());
        painter.translate(0, headingHeight - shown.top());
        painter.setClipRect(shown);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = shown;
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }

private:
    QTextDocument document;
    QFont headingFont;
    qreal headingHeight;
    QSizeF body;
};

QString pageHeading(const ExplanationSheet& sheet)
{
    return QStringLiteral("販売時説明書　カルテ %1 番　%2　マイクロチップ番号 %3")
        .arg(sheet.recordNumber)
        .arg(sheet.kind.isEmpty() ? ExplanationSheet::Missing : sheet.kind, sheet.microchip);
}

} // namespace

void paintExplanationSheet(const ExplanationSheet& sheet, QPagedPaintDevice& device,
                           const QString& deviceName)
{
    const SheetLayout layout(sheet, device);
    QPainter painter;
    if (!painter.begin(&device))
        throw Failure(QStringLiteral("印刷を始められません。 (%1)").arg(deviceName));
    const QString heading = pageHeading(sheet);
    for (int page = 0; page < layout.pages(); ++page) {
        if (page > 0 && !device.newPage())
            throw Failure(QStringLiteral("印刷できませんでした。 (%1)").arg(deviceName));
        layout.paintPage(painter, heading, page);
    }
    if (!painter.end())
        throw Failure(QStringLiteral("印刷できませんでした。 (%1)").arg(deviceName));
}
