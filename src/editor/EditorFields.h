#pragma once

#include "widgets/Twips.h"

#include <QStringList>

class EditorScreen;
class QComboBox;
class QLineEdit;
struct PetRecord;

// What the date drop-downs offer: the years of birth and of medication, the months and the days.
namespace EditorItems {
QStringList years();
QStringList months();
QStringList days();
} // namespace EditorItems

// How a control of the editor takes its field.
enum class EditorEntry {
    // An editable drop-down, offering its items and then those of its pick list.
    Combo,
    // A memo line of at most 30 characters, typed in hiragana.
    Memo,
    // A medication-history line: shown as the opener gave it, stored like the other fields.
    History,
    // A weight in kilograms, typed as digits.
    Weight
};

// One control of the editor that holds a record field: the member that holds it (a combo or a box), its
// designer name, how it is typed in, its place, what a failed conversion or a refused keystroke names,
// and the field's width in bytes where the control takes no more than that (0: no such limit).
struct EditorFieldRow
{
    QComboBox* EditorScreen::*combo;
    QLineEdit* EditorScreen::*box;
    const char* name;
    EditorEntry entry;
    TwipsRect rect;
    const char* title;
    int limit;
    // Combos only: the items offered before any pick list; nullptr for none.
    QStringList (*items)();
    // Nothing for the history lines, which come from the opener.
    QString (*shown)(const PetRecord& record);
    // Converts the control's text into the field; a failure names nothing, the caller adds the title.
    void (*store)(PetRecord& record, const QString& text);
};
