#pragma once

#include <QWidget>

// The embedded web view of a help window: the operations and events that window uses, under the
// names of the published web-browser interface. The program's view runs on Qt WebEngine
// (EngineWebViews); tests use FakeWebView.
class WebView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    // The operations start what they ask for and return; the events tell how it went. Each may
    // fail with a Failure, and the help window decides whether to skip or report it.
    virtual void Navigate(const QString& address) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void GoHome() = 0;
    virtual void GoSearch() = 0;
    virtual void Stop() = 0;
    virtual void Refresh() = 0;

    // Title of the current page, its full address, and whether a page is loading.
    virtual QString LocationName() const = 0;
    virtual QString LocationURL() const = 0;
    virtual bool Busy() const = 0;

signals:
    // A page load has ended: loaded, failed or stopped.
    void DownloadComplete();
    // The view has moved to a new page; LocationURL is its address.
    void NavigateComplete2();
};

// Makes the web view of each help window.
class WebViewFactory
{
public:
    virtual ~WebViewFactory() = default;
    // A new view, a child of `parent`. Never fails: a view that cannot work says so in itself.
    virtual WebView* create(QWidget* parent) = 0;
};
