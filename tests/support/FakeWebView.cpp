#include "support/FakeWebView.h"

#include "store/Failure.h"

#include <utility>

void FakeWebView::Navigate(const QString& target)
{
    run(QStringLiteral("Navigate ") + target, true);
}

void FakeWebView::GoBack()
{
    run(QStringLiteral("GoBack"), true);
}

void FakeWebView::GoForward()
{
    run(QStringLiteral("GoForward"), true);
}

void FakeWebView::GoHome()
{
    run(QStringLiteral("GoHome"), true);
}

void FakeWebView::GoSearch()
{
    run(QStringLiteral("GoSearch"), true);
}

void FakeWebView::Stop()
{
    run(QStringLiteral("Stop"), false);
}

void FakeWebView::Refresh()
{
    run(QStringLiteral("Refresh"), true);
}

void FakeWebView::arrive(const QString& newAddress, const QString& newTitle)
{
    address = newAddress;
    title = newTitle;
    emit NavigateComplete2();
}

void FakeWebView::finishLoading()
{
    loading = false;
    emit DownloadComplete();
}

void FakeWebView::run(const QString& call, bool startsLoading)
{
    if (!failure.isEmpty())
        throw Failure(std::exchange(failure, QString()));
    calls.append(call);
    loading = startsLoading;
}

WebView* FakeWebViews::create(QWidget* parent)
{
    auto* view = new FakeWebView(parent);
    made.append(view);
    return view;
}
