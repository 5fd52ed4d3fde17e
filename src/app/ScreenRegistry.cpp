#include "app/ScreenRegistry.h"

#include "app/HelpPage.h"
#include "app/ScreenWindow.h"
#include "platform/RunningHandlers.h"
#include "widgets/Look.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWindow>

ScreenRegistry::ScreenRegistry() : exitHandler([] { QCoreApplication::exit(0); })
{
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->installEventFilter(this);
}

ScreenRegistry::~ScreenRegistry()
{
    // Whatever is still loaded goes without its unload behaviour, as at the explicit end.
    ended = true;
    for (QWidget* window : loadedWindows())
        delete window;
}

void ScreenRegistry::setFactory(ScreenName name, Factory factory)
{
    factories[name] = std::move(factory);
}

void ScreenRegistry::setBrowserFactory(BrowserFactory factory)
{
    browserFactory = std::move(factory);
}

void ScreenRegistry::setExitHandler(std::function<void()> handler)
{
    exitHandler = std::move(handler);
}

ScreenWindow* ScreenRegistry::loaded(ScreenName name) const
{
    const auto found = screens.find(name);
    return found == screens.end() ? nullptr : found->second.data();
}

ScreenWindow* ScreenRegistry::load(ScreenName name)
{
    if (ScreenWindow* screen = loaded(name))
        return screen;
    Q_ASSERT(factories.count(name));
    // Until the screen is registered, the program must not end for want of a loaded window.
    const HandlerScope loading;
    ScreenWindow* screen = factories.at(name)();
    try {
        screen->load();
    } catch (...) {
        delete screen;
        throw;
    }
    screens[name] = screen;
    connect(screen, &ScreenWindow::unloaded, this, [this, screen] { forget(screen); });
    connect(screen, &QObject::destroyed, this, &ScreenRegistry::scheduleEndCheck);
    centreOnScreen(screen);
    return screen;
}

ScreenWindow* ScreenRegistry::show(ScreenName name)
{
    ScreenWindow* screen = load(name);
    screen->show();
    screen->raise();
    screen->activateWindow();
    return screen;
}

void ScreenRegistry::hide(ScreenName name)
{
    if (ScreenWindow* screen = loaded(name))
        screen->hide();
}

bool ScreenRegistry::unload(ScreenName name)
{
    ScreenWindow* screen = loaded(name);
    return !screen || screen->close();
}

void ScreenRegistry::moveTo(ScreenName from, Leave leave, ScreenName to, std::any opening)
{
    if (leave == Leave::Hide)
        hide(from);
    else if (!unload(from))
        return;
    // Held only while `to` loads: a later show without an opening must not find a stale one.
    openings[to] = std::move(opening);
    try {
        show(to);
    } catch (...) {
        openings.erase(to);
        show(from);
        throw;
    }
    openings.erase(to);
}

const std::any& ScreenRegistry::opening(ScreenName name) const
{
    static const std::any none;
    const auto found = openings.find(name);
    return found == openings.end() ? none : found->second;
}

QWidget* ScreenRegistry::openHelp(const QString& address)
{
    Q_ASSERT(browserFactory);
    QWidget* browser = browserFactory(address);
    browser->setAttribute(Qt::WA_DeleteOnClose);
    browsers.append(browser);
    connect(browser, &QObject::destroyed, this, &ScreenRegistry::scheduleEndCheck);
    // Opened from a modal dialog (the chart list, a sale dialog), the help is modal over it: the
    // dialog's modality would otherwise keep the user out of the help until the dialog closes.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        browser->setWindowModality(Qt::ApplicationModal);
        browser->winId();
        browser->windowHandle()->setTransientParent(modal->windowHandle());
    }
    browser->show();
    browser->setWindowState(browser->windowState() | Qt::WindowMaximized);
    browser->activateWindow();
    return browser;
}

bool ScreenRegistry::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !browserFactory || ended || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
        return QObject::eventFilter(watched, event);
    // The chart screen's F1 is its help menu's shortcut, which first applies a typed record number
    // and is off in direct entry; help windows have nothing to add.
    QWidget* window = static_cast<QWidget*>(watched)->window();
    if (window == loaded(ScreenName::Form2) || browsers.contains(window))
        return QObject::eventFilter(watched, event);
    openHelp(HelpPageAddress);
    return true;
}

void ScreenRegistry::endProgram()
{
    if (ended)
        return;
    ended = true;
    // Hidden and destroyed later, never closed: closing would run the screens' unload behaviour.
    for (QWidget* window : loadedWindows()) {
        window->hide();
        window->deleteLater();
    }
    screens.clear();
    browsers.clear();
    exitHandler();
}

QList<QWidget*> ScreenRegistry::loadedWindows() const
{
    QList<QWidget*> windows;
    for (const auto& [name, screen] : screens) {
        if (screen)
            windows.append(screen.data());
    }
    for (const QPointer<QWidget>& browser : browsers) {
        if (browser)
            windows.append(browser.data());
    }
    return windows;
}

void ScreenRegistry::forget(ScreenWindow* screen)
{
    for (auto& [name, loadedScreen] : screens) {
        if (loadedScreen == screen)
            loadedScreen = nullptr;
    }
    scheduleEndCheck();
}

void ScreenRegistry::scheduleEndCheck()
{
    // The check runs after the current event's handler has returned, so a handler that unloads
    // its own screen and then shows another never ends the program in between.
    if (endCheckPending || ended)
        return;
    endCheckPending = true;
    QTimer::singleShot(0, this, &ScreenRegistry::endIfNoWindowIsLoaded);
}

void ScreenRegistry::endIfNoWindowIsLoaded()
{
    endCheckPending = false;
    browsers.removeAll(nullptr);
    if (ended || !loadedWindows().isEmpty())
        return;
    // A handler waiting in a message box's event loop, or a screen still loading, may yet show a
    // window: the check is made again once every handler has returned.
    RunningHandlers& handlers = RunningHandlers::instance();
    if (handlers.any()) {
        connect(&handlers, &RunningHandlers::allReturned, this, &ScreenRegistry::scheduleEndCheck,
                Qt::SingleShotConnection);
        return;
    }
    ended = true;
    exitHandler();
}
