#include "platform/SystemWebViews.h"

#include "platform/posix/EngineWebViews.h"

std::unique_ptr<WebViewFactory> systemWebViews(const QString& homeAddress, const QString& searchAddress)
{
    return std::make_unique<EngineWebViews>(homeAddress, searchAddress);
}
