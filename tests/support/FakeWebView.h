#pragma once

#include "browser/WebView.h"

#include <QList>
#include <QPointer>
#include <QStringList>

// A web view that loads nothing: it records what it is asked to do, starts "loading" as a browser
// would, and raises its events when the test says so.
class FakeWebView final : public WebView
{
    Q_OBJECT
public:
    using WebView::WebView;

    void Navigate(const QString& address) override;
    void GoBack() override;
    void GoForward() override;
    void GoHome() override;
    void GoSearch() override;
    void Stop() override;
    void Refresh() override;

    QString LocationName() const override { return title; }
    QString LocationURL() const override { return address; }
    bool Busy() const override { return loading; }

    // The next operation throws a Failure with this description instead of running.
    void failNextOperation(const QString& description) { failure = description; }

    // The view arrives at `newAddress` (NavigateComplete2), still loading the page.
    void arrive(const QString& newAddress, const QString& newTitle);
    // The page has loaded (DownloadComplete).
    void finishLoading();

    // What was asked, in order: "Navigate <address>", "GoBack", "GoForward", "GoHome", "GoSearch",
    // "Stop", "Refresh".
    QStringList calls;
    QString title;
    QString address;
    bool loading = false;

private:
    void run(const QString& call, bool startsLoading);

    QString failure;
};

// Makes fake views and keeps them for the test to drive.
class FakeWebViews final : public WebViewFactory
{
public:
    WebView* create(QWidget* parent) override;

    QList<QPointer<FakeWebView>> made;
};
