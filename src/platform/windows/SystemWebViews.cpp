#include "platform/SystemWebViews.h"

#include "platform/TextWebViews.h"

// Qt WebEngine is not built for MinGW: the manual shows in the plain view, web pages in the browser.
std::unique_ptr<WebViewFactory> systemWebViews(const QString& homeAddress, const QString& searchAddress)
{
    return std::make_unique<TextWebViews>(homeAddress, searchAddress);
}
