#include "browser/EngineWebViews.h"

#include "browser/TextWebViews.h"
#include "platform/WebEngineModule.h"
#include "platform/WebEngineSystem.h"
#include "store/Failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>
#include <QVBoxLayout>

namespace {

const QString ModuleName = QStringLiteral("soranika_webengine");

void fill(QWidget* view, QWidget* content)
{
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
}

class EngineWebView final : public WebView
{
public:
    EngineWebView(QWidget* parent, WebEngineModule& module, const QString& home, const QString& search)
        : WebView(parent), home(home), search(search)
    {
        page =
            module.newPage(this, {[this] { emit DownloadComplete(); }, [this] { emit NavigateComplete2(); }});
        fill(this, page->widget());
    }

    void Navigate(const QString& address) override
    {
        const QUrl url = QUrl::fromUserInput(address.trimmed());
        if (!url.isValid())
            throw Failure(QStringLiteral("アドレスが正しくありません。"));
        page->load(url);
    }
    void GoBack() override { page->back(); }
    void GoForward() override { page->forward(); }
    void GoHome() override { Navigate(home); }
    void GoSearch() override { Navigate(search); }
    void Stop() override { page->stop(); }
    void Refresh() override { page->reload(); }

    QString LocationName() const override { return page->title(); }
    QString LocationURL() const override { return page->url().toString(); }
    bool Busy() const override { return page->isLoading(); }

private:
    WebEnginePage* page;
    QString home;
    QString search;
};

} // namespace

EngineWebViews::EngineWebViews(QString homeAddress, QString searchAddress, QStringList moduleDirs)
    : home(std::move(homeAddress)), search(std::move(searchAddress)), dirs(std::move(moduleDirs))
{
}

EngineWebViews::~EngineWebViews() = default;

QStringList EngineWebViews::defaultModuleDirs()
{
    return {QCoreApplication::applicationDirPath(), QStringLiteral(SORANIKA_MODULE_DIR)};
}

WebView* EngineWebViews::create(QWidget* parent)
{
    if (webEngineWouldEndProgram())
        return TextWebViews(
                   home, search,
                   QStringLiteral("ソラニカが管理者（root）として起動されているため、ヘルプを簡易表示で"
                                  "開いています。ふだんお使いのユーザーで起動すると、元の表示に戻ります。"))
            .create(parent);
    if (WebEngineModule* engine = module())
        return new EngineWebView(parent, *engine, home, search);
    return TextWebViews(
               home, search,
               QStringLiteral("ヘルプを表示するための部品（Qt WebEngine）を読み込めなかったため、"
                              "簡易表示で開いています。ソラニカをインストールし直すか、qt6-webengine "
                              "が入っているか確かめてください。\n") +
                   loadErrors)
        .create(parent);
}

WebEngineModule* EngineWebViews::module()
{
    if (loader)
        return qobject_cast<WebEngineModule*>(loader->instance());
    QStringList errors;
    for (const QString& dir : dirs) {
        auto candidate = std::make_unique<QPluginLoader>(QDir(dir).filePath(ModuleName));
        if (qobject_cast<WebEngineModule*>(candidate->instance())) {
            loader = std::move(candidate);
            return qobject_cast<WebEngineModule*>(loader->instance());
        }
        errors.append(
            QDir::toNativeSeparators(candidate->fileName().isEmpty() ? dir : candidate->fileName()) +
            QStringLiteral(": ") + candidate->errorString());
    }
    // Tried again with the next window, so a module installed meanwhile is found.
    loadErrors = errors.join(QLatin1Char('\n'));
    return nullptr;
}
