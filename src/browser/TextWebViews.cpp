#include "browser/TextWebViews.h"

#include "store/Failure.h"

#include <QDesktopServices>
#include <QLabel>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QLabel* noticeLabel(const QString& objectName, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->setMargin(6);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setTextFormat(Qt::PlainText);
    label->hide();
    return label;
}

class TextWebView final : public WebView
{
public:
    TextWebView(QWidget* parent, const QString& home, const QString& search, const QString& note)
        : WebView(parent), home(home), search(search), page(new QTextBrowser(this)),
          lblNotice(noticeLabel(QStringLiteral("lblNotice"), this))
    {
        page->setObjectName(QStringLiteral("txtPage"));
        // Links go through Navigate, so a web link opens in the browser like a typed address.
        page->setOpenLinks(false);
        connect(page, &QTextBrowser::anchorClicked, this, &TextWebView::followLink);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        if (!note.isEmpty()) {
            QLabel* why = noticeLabel(QStringLiteral("lblMissingEngine"), this);
            why->setText(note);
            why->show();
            layout->addWidget(why);
        }
        layout->addWidget(lblNotice);
        layout->addWidget(page);
    }

    void Navigate(const QString& address) override
    {
        const QUrl url = QUrl::fromUserInput(address.trimmed());
        if (!url.isValid() || url.isRelative())
            throw Failure(QStringLiteral("アドレスが正しくありません。"));
        if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) {
            openInSystemBrowser(url);
            return;
        }
        // Only the built-in manual is shown here: a local file could be anything, and handing it to
        // the system would start whatever program it belongs to.
        if (url.scheme() != QLatin1String("qrc"))
            refuse(QStringLiteral("このアドレスはヘルプでは開けません。 (%1)").arg(url.toString()));
        lblNotice->hide();
        page->setSource(url);
        arrived();
    }
    void GoBack() override
    {
        if (!page->isBackwardAvailable())
            return;
        page->backward();
        arrived();
    }
    void GoForward() override
    {
        if (!page->isForwardAvailable())
            return;
        page->forward();
        arrived();
    }
    void GoHome() override { Navigate(home); }
    void GoSearch() override { Navigate(search); }
    // A page is in place as soon as it is asked for; only the events are still to come.
    void Stop() override {}
    void Refresh() override
    {
        if (page->source().isEmpty())
            return;
        page->reload();
        arrived();
    }

    QString LocationName() const override { return page->documentTitle(); }
    QString LocationURL() const override { return page->source().toString(); }
    bool Busy() const override { return reporting; }

private:
    void followLink(const QUrl& link)
    {
        // A link inside the page is an answer of the page itself; one that cannot be followed is
        // left where it is, as a browser does.
        try {
            Navigate(page->source().resolved(link).toString());
        } catch (const Failure& failure) {
            showNotice(failure.description());
        }
    }

    void openInSystemBrowser(const QUrl& url)
    {
        if (!QDesktopServices::openUrl(url))
            refuse(QStringLiteral("ブラウザを開けませんでした。 (%1)").arg(url.toString()));
        showNotice(QStringLiteral("%1 を、お使いのブラウザで開きました。").arg(url.toString()));
    }

    // The window may pass over the failure (an address confirmed with Enter), so the view says it too.
    [[noreturn]] void refuse(const QString& why)
    {
        showNotice(why);
        throw Failure(why);
    }

    void showNotice(const QString& text)
    {
        lblNotice->setText(text);
        lblNotice->show();
    }

    // Like a browser, the view tells about the new page after the call that asked for it returns.
    void arrived()
    {
        reporting = true;
        QTimer::singleShot(0, this, [this] {
            reporting = false;
            emit NavigateComplete2();
            emit DownloadComplete();
        });
    }

    QString home;
    QString search;
    QTextBrowser* page;
    QLabel* lblNotice;
    bool reporting = false;
};

} // namespace

TextWebViews::TextWebViews(QString homeAddress, QString searchAddress, QString note)
    : home(std::move(homeAddress)), search(std::move(searchAddress)), note(std::move(note))
{
}

WebView* TextWebViews::create(QWidget* parent)
{
    return new TextWebView(parent, home, search, note);
}
