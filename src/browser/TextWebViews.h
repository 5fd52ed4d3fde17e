#pragma once

#include "browser/WebView.h"

#include <QString>

// Help views on QTextBrowser, for systems without a web engine: they show the program's own manual
// (qrc: pages) and hand web addresses to the system's browser, saying so in the view.
class TextWebViews final : public WebViewFactory
{
public:
    // `homeAddress` and `searchAddress` are where GoHome and GoSearch go. `note`, when given, is
    // shown above every page (why the plain view is used).
    TextWebViews(QString homeAddress, QString searchAddress, QString note = {});

    WebView* create(QWidget* parent) override;

private:
    QString home;
    QString search;
    QString note;
};
