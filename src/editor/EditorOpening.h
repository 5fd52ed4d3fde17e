#pragma once

#include <QStringList>

#include <functional>

// What the record editor opens on, handed over by the screen that opens it: the record number and the
// five medication-history lines as that screen shows them. `stored` hears the number of the record each
// time the editor stores it, so that the opener can show that record.
struct EditorOpening
{
    qint32 recordNumber = 0;
    QStringList historyLines;
    std::function<void(qint32 storedNumber)> stored;
};
