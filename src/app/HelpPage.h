#pragma once

#include <QString>

// The program's own user manual, compiled in so that help works without a network.
inline const QString HelpPageAddress = QStringLiteral("qrc:/help/index.html");

// Where the help window's "検索" button goes: a public web search page.
inline const QString SearchPageAddress = QStringLiteral("https://www.google.co.jp/");
