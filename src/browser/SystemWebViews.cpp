#include "browser/SystemWebViews.h"

#include "browser/EngineWebViews.h"
#include "browser/TextWebViews.h"
#include "platform/WebEngineSystem.h"

std::unique_ptr<WebViewFactory> systemWebViews(const QString& homeAddress, const QString& searchAddress)
{
    // Without the engine the manual shows in the plain view, web pages in the browser.
    if (!systemHasWebEngine())
        return std::make_unique<TextWebViews>(homeAddress, searchAddress);
    return std::make_unique<EngineWebViews>(homeAddress, searchAddress);
}
