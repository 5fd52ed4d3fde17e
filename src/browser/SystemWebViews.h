#pragma once

#include "browser/WebView.h"

#include <QString>

#include <memory>

// The help windows' web views on this system. GoHome goes to `homeAddress`, GoSearch to `searchAddress`.
std::unique_ptr<WebViewFactory> systemWebViews(const QString& homeAddress, const QString& searchAddress);
