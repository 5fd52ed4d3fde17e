#pragma once

#include <QAction>
#include <QString>

class QWidget;

// What the commands in the chart screen's menus may know and do about the chart on the screen. Each
// command first calls applyTypedRecordNumber(), as the screen's own buttons do, and stops when it
// answers false.
class ShownChart
{
public:
    virtual ~ShownChart() = default;

    // The window the commands' dialogs and messages belong to.
    virtual QWidget* chartWindow() = 0;
    // A number typed into the record number box counts first; false when it was refused.
    virtual bool applyTypedRecordNumber() = 0;
    virtual qint32 shownRecord() const = 0;
    // Reads the record and shows it; throws when it cannot be read.
    virtual void showChart(qint32 number) = 0;
    virtual void showShopLines() = 0;
    // As if the user typed the number into the record number box and pressed Enter.
    virtual void chooseChart(qint32 number) = 0;
    // Typed trading values not yet saved would be left behind or stored over: the step is refused with a
    // message saying so, and true is returned.
    virtual bool refusedInDirectEntry(const QString& step) = 0;
    virtual void showStatus(const QString& text, const QString& tip) = 0;
    // The status bar takes room only while one of its parts has something to say; called after a part
    // was shown or hidden.
    virtual void showStatusBar() = 0;
    // After every change to the shop's data: the care notice and an open お店の状況 show it.
    virtual void shopDataChanged() = 0;

    // Success is told in the status line, not in a box the shop must click away; the whole path is in
    // its tool tip. A note, when there is one, follows the file's name.
    void showWritten(const QString& what, const QString& path, const QString& note = QString());
};

// A menu command named for the tests and the menus' enabled rules.
QAction* namedAction(QObject* owner, const char* name, const QString& text);

// A menu command owned by the feature whose step it runs.
template <typename Owner, typename Step>
QAction* menuAction(Owner* owner, const char* name, const QString& text, Step step)
{
    QAction* action = namedAction(owner, name, text);
    QObject::connect(action, &QAction::triggered, owner, step);
    return action;
}
