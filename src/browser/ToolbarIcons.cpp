#include "browser/ToolbarIcons.h"

#include "widgets/Look.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

constexpr int Size = 24;
const QColor Outline{40, 40, 40};

QPixmap drawn(const std::function<void(QPainter&)>& draw)
{
    QPixmap image(Size, Size);
    image.fill(Colours::LightGrey);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    image.setMask(image.createMaskFromColor(Colours::LightGrey));
    return image;
}

QPolygonF arrowRight()
{
    return QPolygonF({{3, 9}, {12, 9}, {12, 3.5}, {21, 12}, {12, 20.5}, {12, 15}, {3, 15}});
}

QPixmap arrow(bool right)
{
    return drawn([right](QPainter& p) {
        if (!right)
            p.setTransform(QTransform(-1, 0, 0, 1, Size, 0));
        p.setPen(QPen(Outline, 1.2));
        p.setBrush(QColor(40, 160, 60));
        p.drawPolygon(arrowRight());
    });
}

QPixmap stop()
{
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(120, 0, 0), 1.2));
        p.setBrush(QColor(210, 30, 30));
        p.drawEllipse(QRectF(2.5, 2.5, 19, 19));
        p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 8), QPointF(16, 16));
        p.drawLine(QPointF(16, 8), QPointF(8, 16));
    });
}

QPixmap refresh()
{
    return drawn([](QPainter& p) {
        const QColor blue(30, 90, 200);
        p.setPen(QPen(blue, 3, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(QRectF(4, 4, 16, 16), 100 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        p.drawPolygon(QPolygonF({{9.5, 1}, {16, 4.5}, {9.5, 9}}));
    });
}

QPixmap home()
{
    return drawn([](QPainter& p) {
        p.setPen(QPen(Outline, 1.2));
        p.setBrush(QColor(250, 240, 200));
        p.drawRect(QRectF(5.5, 11, 13, 10.5));
        p.setBrush(QColor(200, 50, 40));
        p.drawPolygon(QPolygonF({{1.5, 12.5}, {12, 2.5}, {22.5, 12.5}}));
        p.setBrush(QColor(140, 90, 40));
        p.drawRect(QRectF(10, 15, 4, 6.5));
    });
}

QPixmap search()
{
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(90, 60, 30), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 14), QPointF(21, 21));
        p.setPen(QPen(Outline, 2));
        p.setBrush(QColor(190, 225, 250));
        p.drawEllipse(QRectF(3, 3, 12.5, 12.5));
    });
}

} // namespace

QList<QPixmap> imlToolbarIcons()
{
    return {arrow(false), arrow(true), stop(), refresh(), home(), search()};
}
