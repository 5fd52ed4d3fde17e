#pragma once

#include "browser/WebView.h"

#include <QString>
#include <QStringList>

#include <memory>

class QPluginLoader;
class WebEngineModule;

// The program's web views, on Qt WebEngine. The engine's module is loaded by the first view asked
// for, never before. When it cannot be loaded, a plain text view shows the manual and says why.
class EngineWebViews final : public WebViewFactory
{
public:
    // `homeAddress` and `searchAddress` are where GoHome and GoSearch go. The module is looked for
    // in each of `moduleDirs` in turn.
    EngineWebViews(QString homeAddress, QString searchAddress, QStringList moduleDirs = defaultModuleDirs());
    ~EngineWebViews() override;

    WebView* create(QWidget* parent) override;

    // Beside the executable first, then where the module is installed.
    static QStringList defaultModuleDirs();

private:
    WebEngineModule* module();

    QString home;
    QString search;
    QStringList dirs;
    std::unique_ptr<QPluginLoader> loader;
    QString loadErrors;
};
