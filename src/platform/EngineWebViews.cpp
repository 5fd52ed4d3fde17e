#include "platform/EngineWebViews.h"

#include "platform/WebEngineModule.h"
#include "store/Failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPluginLoader>
#include <QVBoxLayout>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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

// Stands where the page would be when the engine cannot be started: it tells the user why, and its
// operations do nothing.
class MissingWebView final : public WebView
{
public:
    MissingWebView(QWidget* parent, const QString& why, const QString& details = {}) : WebView(parent)
    {
        auto* message = new QLabel(
            why + QStringLiteral("カルテの入力や印刷など、ほかの機能はこのままお使いいただけます。\n\n") +
                details,
            this);
        message->setObjectName(QStringLiteral("lblMissingEngine"));
        message->setWordWrap(true);
        message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        message->setMargin(12);
        message->setTextInteractionFlags(Qt::TextSelectableByMouse);
        fill(this, message);
    }

    void Navigate(const QString&) override {}
    void GoBack() override {}
    void GoForward() override {}
    void GoHome() override {}
    void GoSearch() override {}
    void Stop() override {}
    void Refresh() override {}

    QString LocationName() const override { return QStringLiteral("ヘルプを表示できません"); }
    QString LocationURL() const override { return QString(); }
    bool Busy() const override { return false; }
};

// The engine's browser ends the whole process when it is started by root with its sandbox on. A
// browser that can reach the web is not run without a sandbox unless whoever started the program
// asked for it with QTWEBENGINE_DISABLE_SANDBOX.
bool startedAsRootWithSandbox()
{
#ifdef Q_OS_UNIX
    return geteuid() == 0 && qEnvironmentVariableIntValue("QTWEBENGINE_DISABLE_SANDBOX") == 0;
#else
    return false;
#endif
}

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
    if (startedAsRootWithSandbox())
        return new MissingWebView(
            parent,
            QStringLiteral("ソラニカが管理者（root）として起動されているため、ヘルプを表示できません。\n"
                           "ふだんお使いのユーザーで起動し直してください。\n"));
    if (WebEngineModule* engine = module())
        return new EngineWebView(parent, *engine, home, search);
    return new MissingWebView(
        parent,
        QStringLiteral("ヘルプを表示するための部品（Qt WebEngine）を読み込めなかったため、"
                       "ページを表示できません。\n"
                       "ソラニカをインストールし直すか、qt6-webengine が入っているか確かめてください。\n"),
        loadErrors);
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
