#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The text of a chart screen control as it is shown: a label's caption or a box's text, by the
// control's designer name ("Label21", "Text3").
using ShownText = std::function<QString(const QString& controlName)>;

// The printed chart, line by line, built only from what the chart screen shows: 48 lines, or 56
// with the trading section. `madeAt` is the date and time that heads the printout.
QStringList chartPrintoutLines(const ShownText& shown, bool withTrading, const QString& madeAt);
