#pragma once

#include "widgets/Twips.h"

class ChartScreen;
class QLabel;
class QLineEdit;
class QString;
struct PetRecord;

// How a label or box of the chart screen looks and what it does.
enum class ChartLook {
    // A caption, black on green.
    Heading,
    // A record field, black on white.
    Value,
    // A memo line: a box that only shows, white like the others.
    Memo,
    // The caption of a trading box, white on red.
    TradingHeading,
    // A trading field, typed straight into the chart and stored back from the box.
    Trading
};

// One label or box of the chart's record, history, notes and trading areas: the member that holds it
// (a label or a box), its designer name, its look, its caption, its place, and the record field it
// shows. A trading box's caption is the field's name in what the box tells when it refuses a keystroke.
struct ChartFieldRow
{
    QLabel* ChartScreen::*label;
    QLineEdit* ChartScreen::*box;
    const char* name;
    ChartLook look;
    const char* caption;
    TwipsRect rect;
    QString (*shown)(const PetRecord& record);
    // Trading boxes only: the field gets the typed text, or keeps its padding when the box is unchanged.
    void (*store)(PetRecord& record, const QString& typed);
};
