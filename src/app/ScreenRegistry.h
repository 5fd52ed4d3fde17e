#pragma once

#include "app/ScreenContext.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <any>
#include <functional>
#include <map>

class ScreenWindow;
class QWidget;

// Owns the screens and carries out the flow between them and the two ways the program ends.
class ScreenRegistry : public QObject
{
    Q_OBJECT
public:
    using Factory = std::function<ScreenWindow*()>;
    using BrowserFactory = std::function<QWidget*(const QString& address)>;

    ScreenRegistry();
    ~ScreenRegistry() override;

    void setFactory(ScreenName name, Factory factory);
    void setBrowserFactory(BrowserFactory factory);
    // Called once when the program ends; by default it leaves the event loop.
    void setExitHandler(std::function<void()> handler);

    // The loaded screen, hidden or not; nullptr when it is not loaded.
    ScreenWindow* loaded(ScreenName name) const;
    // Creates the screen and runs its load when it is not loaded. A failing load destroys it again
    // and the failure goes on to the caller.
    ScreenWindow* load(ScreenName name);
    // Loads the screen when needed, shows it and makes it the active window.
    ScreenWindow* show(ScreenName name);
    // Hides the screen; it stays loaded and keeps its controls' contents.
    void hide(ScreenName name);
    // Closes the screen with its unload behaviour. False when the screen refused to close.
    bool unload(ScreenName name);

    // Leaves screen `from`, hiding or unloading it, and shows `to`. When `to` cannot open, `from`
    // is shown again (loaded afresh if it was unloaded) and the failure goes on to the caller.
    // `opening` is what `to` is opened on; its load takes it from opening().
    enum class Leave { Hide, Unload };
    void moveTo(ScreenName from, Leave leave, ScreenName to, std::any opening = {});
    // What moveTo hands the screen it is loading; empty when the screen was opened without it.
    const std::any& opening(ScreenName name) const;

    // A new help browser window on `address`, shown maximised.
    QWidget* openHelp(const QString& address);

    // Ends the program at once: every window goes, help browsers included, and no screen's
    // unload behaviour runs.
    void endProgram();
    bool hasEnded() const { return ended; }

    // Every window of the program that is loaded, hidden or not.
    QList<QWidget*> loadedWindows() const;

protected:
    // F1 opens the help from every window of the program.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void forget(ScreenWindow* screen);
    void scheduleEndCheck();
    void endIfNoWindowIsLoaded();
    void exitProgram();

    std::map<ScreenName, Factory> factories;
    std::map<ScreenName, QPointer<ScreenWindow>> screens;
    std::map<ScreenName, std::any> openings;
    QList<QPointer<QWidget>> browsers;
    BrowserFactory browserFactory;
    std::function<void()> exitHandler;
    bool ended = false;
    bool endCheckPending = false;
};
