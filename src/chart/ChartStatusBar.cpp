#include "chart/ChartStatusBar.h"

#include "widgets/Look.h"

#include <QLabel>

ChartStatusBar::ChartStatusBar(QLabel* permanentPart, QWidget* parent)
    : QStatusBar(parent), statusLine(new QLabel(this)), permanentPart(permanentPart)
{
    setObjectName(QStringLiteral("statusBar"));
    setSizeGripEnabled(false);
    setColours(this, Colours::Black, QColor(255, 240, 192));
    statusLine->setObjectName(QStringLiteral("statusLine"));
    statusLine->setContentsMargins(8, 3, 8, 3);
    addWidget(statusLine, 1);
    statusLine->hide();
    addPermanentWidget(permanentPart);
    permanentPart->hide();
    hide();
}

void ChartStatusBar::showStatus(const QString& text, const QString& tip)
{
    statusLine->setText(text);
    statusLine->setToolTip(tip);
    statusLine->show();
    fit();
}

void ChartStatusBar::showNotice(const QString& failure)
{
    if (!failure.isEmpty())
        showStatus(failure.section(QLatin1Char('\n'), 0, 0), failure);
}

void ChartStatusBar::fit()
{
    setVisible(!statusLine->isHidden() || !permanentPart->isHidden());
}
