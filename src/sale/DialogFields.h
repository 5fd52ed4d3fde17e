#pragma once

#include <QDate>
#include <QString>

class QDialog;
class QDialogButtonBox;
class QLineEdit;
class QPushButton;
class QWidget;

// Pieces shared by the small data dialogs of the sale information.

// A one-line box with its objectName.
QLineEdit* namedBox(QWidget* parent, const char* name, const QString& placeholder = {});

// OK / キャンセル, accepting and rejecting `dialog`; Enter accepts, Esc cancels.
QDialogButtonBox* okCancelButtons(QDialog* dialog);

// The buttons under a sheet: 閉じる, which rejects `dialog`, and beside it 印刷, PDFに保存 and CSVに書き出す
// (objectNames print, savePdf, saveCsv) for the caller to connect.
struct SheetButtons
{
    QDialogButtonBox* box;
    QPushButton* print;
    QPushButton* pdf;
    QPushButton* csv;
};
SheetButtons sheetButtons(QDialog* dialog);

// A date box's date: invalid (nothing entered) for an empty box; a failure naming the field when the
// text does not read as a date.
QDate typedDate(const QLineEdit* box, const QString& field);

// A date as a date box shows it.
QString dateBoxText(const QDate& date);
