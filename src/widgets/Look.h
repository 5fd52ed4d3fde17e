#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The shop's screens were drawn with "ＭＳ Ｐゴシック"; elsewhere the installed CJK fonts stand in.
QFont gothicFont(double pointSize, bool bold = false);

// Text and ground colours of a label, box or button.
void setColours(QWidget* widget, const QColor& text, const QColor& ground);
void setGround(QWidget* widget, const QColor& ground);
// The ground of a window only; its boxes and buttons keep their own colours.
void setWindowGround(QWidget* window, const QColor& ground);

// A fixed-size dialog window: title and close box only.
void makeFixedDialog(QWidget* window, const QString& caption);

// Centres a top-level window on the screen it is on.
void centreOnScreen(QWidget* window);

namespace Colours {
inline const QColor LightGrey{192, 192, 192};
inline const QColor PaleGrey{224, 224, 224};
inline const QColor LightGreen{192, 255, 192};
inline const QColor BrightGreen{128, 255, 128};
inline const QColor Red{255, 0, 0};
inline const QColor Blue{0, 0, 255};
inline const QColor Green{0, 255, 0};
inline const QColor Cyan{0, 255, 255};
inline const QColor LightCyan{192, 255, 255};
inline const QColor White{255, 255, 255};
inline const QColor Black{0, 0, 0};
} // namespace Colours
