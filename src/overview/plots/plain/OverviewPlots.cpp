#include "overview/OverviewPlots.h"

#include "overview/OverviewSheets.h"
#include "platform/Look.h"

#include <QLabel>
#include <QPainter>

namespace {

// This build has no Qt Charts: the figures are in the month table, and the place of each plot says so.
QString noPlotText(Plot plot, const QList<MonthFigures>& months)
{
    const QString name = plot == Plot::Sales ? QStringLiteral("売上と粗利") : QStringLiteral("月末の在庫");
    return QStringLiteral("%1 %2\nこの版ではグラフを表示できません。数字は月別の表にあります。")
        .arg(name, periodText(months));
}

} // namespace

QWidget* newPlotView(QWidget* parent, const char* name)
{
    auto* view = new QLabel(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setAlignment(Qt::AlignCenter);
    view->setWordWrap(true);
    view->setFrameShape(QFrame::StyledPanel);
    view->setMinimumSize(420, 260);
    return view;
}

void showPlot(QWidget* view, Plot plot, const QList<MonthFigures>& months)
{
    static_cast<QLabel*>(view)->setText(noPlotText(plot, months));
}

void paintPlot(QPainter& painter, const QRectF& area, Plot plot, const QList<MonthFigures>& months)
{
    painter.save();
    painter.setFont(gothicFont(10));
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, noPlotText(plot, months));
    painter.restore();
}
