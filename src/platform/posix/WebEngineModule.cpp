#include "platform/WebEngineModule.h"

#include <QObject>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

class Page final : public QWebEngineView, public WebEnginePage
{
public:
    Page(QWidget* parent, WebEnginePageEvents events) : QWebEngineView(parent), events(std::move(events))
    {
        connect(this, &QWebEngineView::loadStarted, this, [this] { requested = false; });
        connect(this, &QWebEngineView::loadFinished, this, [this] {
            requested = false;
            if (this->events.loadFinished)
                this->events.loadFinished();
        });
        connect(this, &QWebEngineView::urlChanged, this, [this] {
            requested = false;
            if (this->events.urlChanged)
                this->events.urlChanged();
        });
    }

    ~Page() override
    {
        // The engine may still report while the view is taken down; nobody is listening any more.
        disconnect(this, nullptr, this, nullptr);
    }

    QWidget* widget() override { return this; }
    void load(const QUrl& url) override
    {
        requested = true;
        QWebEngineView::load(url);
    }
    void back() override
    {
        requested = history()->canGoBack();
        QWebEngineView::back();
    }
    void forward() override
    {
        requested = history()->canGoForward();
        QWebEngineView::forward();
    }
    void stop() override
    {
        requested = false;
        QWebEngineView::stop();
    }
    void reload() override
    {
        requested = !url().isEmpty();
        QWebEngineView::reload();
    }
    QString title() const override { return QWebEngineView::title(); }
    QUrl url() const override { return QWebEngineView::url(); }
    // The engine reports a load only once it has started it, a moment after it was asked for; in
    // between the page is busy all the same.
    bool isLoading() const override { return requested || page()->isLoading(); }

private:
    WebEnginePageEvents events;
    bool requested = false;
};

} // namespace

class QtWebEngineModule final : public QObject, public WebEngineModule
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SoranikaWebEngineModule_iid)
    Q_INTERFACES(WebEngineModule)
public:
    WebEnginePage* newPage(QWidget* parent, WebEnginePageEvents events) override
    {
        return new Page(parent, std::move(events));
    }
};

#include "WebEngineModule.moc"
