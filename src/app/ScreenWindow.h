#pragma once

#include "app/ScreenContext.h"

#include <QWidget>

// A screen of the program: created (loaded) on first use, then shown, hidden or unloaded by the
// screen registry. Closing it by its close box unloads it.
class ScreenWindow : public QWidget
{
    Q_OBJECT
public:
    explicit ScreenWindow(ScreenContext& context);

    // The screen's load behaviour, run once after creation. A failure stops the screen from opening.
    virtual void load() {}

signals:
    // The screen closed with its unload behaviour done; it is destroyed soon after.
    void unloaded();

protected:
    // The screen's unload behaviour. Returning false keeps the screen open.
    virtual bool unload() { return true; }

    void closeEvent(QCloseEvent* event) override;

    // Called first in a screen's destructor: the window's controls outlive the screen by a moment
    // while the window goes, and their last signals (a box losing the focus) must not reach it.
    void disconnectControls();

    ScreenContext& context;
};
