#include "overview/PlotModule.h"

#include <QFontMetricsF>
#include <QObject>
#include <QPainter>

#include <qcustomplot.h>

#include <algorithm>
#include <numeric>

namespace {

// The size a plot is laid out at on paper before it is scaled to its area: about its size on the screen.
const QSize PrintedSize(800, 420);

QCPTextElement* textRow(QCustomPlot& plot, int row, const char* name)
{
    auto* text = new QCPTextElement(&plot);
    text->setObjectName(QString::fromLatin1(name));
    plot.plotLayout()->insertRow(row);
    plot.plotLayout()->addElement(row, 0, text);
    return text;
}

// The frame every plot shares, made once for each view: the title above the axes, the legend centred
// in one row below them, and under it the note.
void lay(QCustomPlot& plot)
{
    if (plot.findChild<QCPTextElement*>(QStringLiteral("title")) != nullptr)
        return;
    textRow(plot, 0, "title");
    plot.legend->setVisible(true);
    plot.legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    plot.legend->setBorderPen(Qt::NoPen);
    plot.axisRect()->insetLayout()->take(plot.legend);
    // Empty room either side takes what the legend does not need.
    auto* legendRow = new QCPLayoutGrid;
    plot.plotLayout()->addElement(2, 0, legendRow);
    legendRow->addElement(0, 0, new QCPLayoutElement(&plot));
    legendRow->addElement(0, 1, plot.legend);
    legendRow->addElement(0, 2, new QCPLayoutElement(&plot));
    legendRow->setColumnStretchFactors({1, 0.001, 1});
    plot.plotLayout()->setRowStretchFactor(2, 0.001);
    textRow(plot, 3, "note");
    plot.xAxis->grid()->setVisible(false);
}

void draw(QCustomPlot& plot, const PlotContent& content)
{
    lay(plot);
    plot.clearPlottables();
    for (QCPBarsGroup* group : plot.findChildren<QCPBarsGroup*>())
        delete group;
    auto* title = plot.findChild<QCPTextElement*>(QStringLiteral("title"));
    title->setFont(content.titleFont);
    title->setText(content.title);
    auto* note = plot.findChild<QCPTextElement*>(QStringLiteral("note"));
    note->setFont(content.noteFont);
    note->setTextColor(content.noteColour);
    note->setText(content.note);
    plot.legend->setFont(content.legendFont);
    for (QCPAxis* axis : {plot.xAxis, plot.yAxis}) {
        axis->setTickLabelFont(content.labelFont);
        axis->setLabelFont(content.labelFont);
    }

    QSharedPointer<QCPAxisTickerText> keys(new QCPAxisTickerText);
    for (int index = 0; index < content.keys.size(); ++index)
        keys->addTick(index, content.keys[index]);
    plot.xAxis->setTicker(keys);
    plot.xAxis->setRange(-0.5, std::max<qsizetype>(content.keys.size(), 1) - 0.5);

    auto* group = new QCPBarsGroup(&plot);
    group->setSpacing(1);
    for (const PlotSeries& series : content.series) {
        QVector<double> positions(series.values.size());
        std::iota(positions.begin(), positions.end(), 0.0);
        QCPAbstractPlottable* plottable = nullptr;
        if (series.bars) {
            auto* bars = new QCPBars(plot.xAxis, plot.yAxis);
            bars->setWidth(0.38);
            bars->setBarsGroup(group);
            bars->setPen(QPen(series.colour.darker(130)));
            bars->setBrush(series.colour);
            bars->setData(positions, series.values, true);
            plottable = bars;
        } else {
            QCPGraph* line = plot.addGraph();
            line->setPen(QPen(series.colour, 2));
            line->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, series.colour, 6));
            line->setData(positions, series.values, true);
            plottable = line;
        }
        plottable->setObjectName(series.objectName);
        plottable->setName(series.name);
    }

    if (content.wholeNumbers) {
        QSharedPointer<QCPAxisTickerFixed> ticker(new QCPAxisTickerFixed);
        ticker->setTickStep(1);
        ticker->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
        plot.yAxis->setTicker(ticker);
        plot.yAxis->setNumberPrecision(0);
    } else {
        plot.yAxis->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
        plot.yAxis->setNumberPrecision(content.highest - content.lowest < 5 ? 1 : 0);
    }
    plot.yAxis->setNumberFormat(QStringLiteral("f"));
    plot.yAxis->setRange(content.lowest, content.highest);
    plot.yAxis->setLabel(content.unit);
}

} // namespace

class QCustomPlotModule final : public QObject, public PlotModule
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SoranikaPlotModule_iid)
    Q_INTERFACES(PlotModule)
public:
    QWidget* newView(QWidget* parent, const QString& name) override
    {
        auto* view = new QCustomPlot(parent);
        view->setObjectName(name);
        view->setMinimumSize(420, 260);
        return view;
    }

    void show(QWidget* view, const PlotContent& content) override
    {
        auto* plot = static_cast<QCustomPlot*>(view);
        draw(*plot, content);
        plot->replot();
    }

    // The title and the note go onto the page as text, so the page reads back; the axes, bars and lines
    // as a picture at three times the screen's size. QCustomPlot's clipping loses its texts when its
    // drawing is recorded and replayed at another scale.
    void paint(QPainter& painter, const QRectF& area, const PlotContent& content) override
    {
        QCustomPlot drawn;
        PlotContent withoutTexts = content;
        withoutTexts.title.clear();
        withoutTexts.note.clear();
        draw(drawn, withoutTexts);
        for (const char* name : {"title", "note"})
            drawn.plotLayout()->remove(drawn.findChild<QCPTextElement*>(QString::fromLatin1(name)));
        drawn.plotLayout()->simplify();

        painter.save();
        const double titleHeight = QFontMetricsF(content.titleFont, painter.device()).height() * 1.5;
        const double noteHeight =
            content.note.isEmpty() ? 0 : QFontMetricsF(content.noteFont, painter.device()).height() * 1.5;
        const QRectF frame(area.left(), area.top() + titleHeight, area.width(),
                           area.height() - titleHeight - noteHeight);
        const double scale =
            std::min(frame.width() / PrintedSize.width(), frame.height() / PrintedSize.height());
        const QSizeF size = QSizeF(PrintedSize) * scale;
        const QRectF target(frame.left() + (frame.width() - size.width()) / 2, frame.top(), size.width(),
                            size.height());
        painter.setFont(content.titleFont);
        painter.drawText(QRectF(target.left(), area.top(), target.width(), titleHeight), Qt::AlignCenter,
                         content.title);
        painter.drawPixmap(target, drawn.toPixmap(PrintedSize.width(), PrintedSize.height(), 3),
                           QRectF(QPointF(0, 0), QSizeF(PrintedSize) * 3));
        if (!content.note.isEmpty()) {
            painter.setFont(content.noteFont);
            painter.setPen(content.noteColour);
            painter.drawText(QRectF(target.left(), target.bottom(), target.width(), noteHeight),
                             Qt::AlignCenter, content.note);
        }
        painter.restore();
    }
};

#include "QCustomPlotModule.moc"
