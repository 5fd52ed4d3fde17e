#pragma once

#include <QString>
#include <QUrl>
#include <QtPlugin>

#include <functional>

class QWidget;

// Qt WebEngine lives in a module of its own (soranika_webengine) that the program loads when the
// first help window opens, so the other screens neither start the engine nor map its libraries.
// This header is all that the program and the module share: plain interfaces, no Qt meta-objects
// of the program's, so the module needs nothing from the executable.

// One web page view made by the module.
class WebEnginePage
{
public:
    virtual ~WebEnginePage() = default;

    // The view itself; it belongs to the parent it was made for, and this object goes with it.
    virtual QWidget* widget() = 0;
    virtual void load(const QUrl& url) = 0;
    virtual void back() = 0;
    virtual void forward() = 0;
    virtual void stop() = 0;
    virtual void reload() = 0;
    virtual QString title() const = 0;
    virtual QUrl url() const = 0;
    virtual bool isLoading() const = 0;
};

// What the page reports, called on the user-interface thread.
struct WebEnginePageEvents
{
    // A load has ended: loaded, failed or stopped.
    std::function<void()> loadFinished;
    // The page has moved to another address.
    std::function<void()> urlChanged;
};

class WebEngineModule
{
public:
    virtual ~WebEngineModule() = default;
    virtual WebEnginePage* newPage(QWidget* parent, WebEnginePageEvents events) = 0;
};

#define SoranikaWebEngineModule_iid "jp.soranika.WebEngineModule/1"
Q_DECLARE_INTERFACE(WebEngineModule, SoranikaWebEngineModule_iid)
