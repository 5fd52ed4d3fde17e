#pragma once

#include <QStatusBar>

class QLabel;

// Below the chart, shown while it has something to say: the status line, with what the shop should know
// without a message box (a file written, a daily backup that could not be made), and beside it a
// permanent part of its own.
class ChartStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    ChartStatusBar(QLabel* permanentPart, QWidget* parent);

    void showStatus(const QString& text, const QString& tip);
    // A failure's first line; the whole of it in the tool tip.
    void showNotice(const QString& failure);
    // The bar takes room under the chart only while one of its parts has something to say.
    void fit();

private:
    QLabel* const statusLine;
    QLabel* const permanentPart;
};
