#include "sale/ExplanationPrint.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QTextDocument>

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
           // The receipt and the line to sign it stay together in one paragraph.
           QStringLiteral("<p class='signature'>%1<br><br>　　　　年　　月　　日　　　購入者署名 "
                          "______________________________</p>")
               .arg(escaped(ExplanationSheet::Receipt)) +
           QStringLiteral("</body></html>");
}

} // namespace

void paintExplanationSheet(const ExplanationSheet& sheet, QPagedPaintDevice& device)
{
    QTextDocument document;
    QFont font;
    // IPA fonts first: their text layer gives back the characters written, where Noto's shared glyphs
    // would give back look-alike radicals.
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")});
    font.setPointSizeF(10);
    document.setDefaultFont(font);
    document.setHtml(sheetHtml(sheet));
    // The document paints page by page on its own; a device that cannot be painted on shows in its
    // state, which the printer and the PDF writer check.
    document.print(&device);
}
