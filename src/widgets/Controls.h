#pragma once

#include <QColor>
#include <QList>
#include <QString>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Controls as the screens were drawn: each with its designer name and its place in twips.

// A label showing its caption as plain text (a stored "<b>" is shown as typed), narrowed to fit.
QLabel* newLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                 int height);
// A command button that is never a window's default: Enter clicks it only when it has the focus.
QPushButton* newButton(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                       int width, int height);
QLineEdit* newBox(QWidget* parent, const QString& name, int left, int top, int width, int height);
// A rectangle drawn around a group of controls; it lies beneath them and lets clicks through.
QFrame* newShape(QWidget* parent, const QString& name, const QColor& colour, int lineWidth, int left, int top,
                 int width, int height);

// The screens were drawn in a proportional font. Where the stand-in font makes a caption wider
// than its control, the letters are set closer together so that the whole caption shows.
void narrowToFit(QWidget* control, const QString& caption);

// The keyboard focus order, first to last.
void setFocusOrder(const QList<QWidget*>& order);
