#pragma once

#include <QDate>
#include <QString>

class QDialog;
class QDialogButtonBox;
class QLineEdit;
class QWidget;

// Pieces shared by the small data dialogs of the sale information.

// A one-line box with its objectName.
QLineEdit* namedBox(QWidget* parent, const char* name, const QString& placeholder = {});

// OK / キャンセル, accepting and rejecting `dialog`; Enter accepts, Esc cancels.
QDialogButtonBox* okCancelButtons(QDialog* dialog);

// A date box's date: invalid (nothing entered) for an empty box; a failure naming the field when the
// text does not read as a date.
QDate typedDate(const QLineEdit* box, const QString& field);

// A date as a date box shows it.
QString dateBoxText(const QDate& date);
