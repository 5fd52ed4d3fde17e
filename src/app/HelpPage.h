#pragma once

#include <QString>

// The program's own user manual, compiled in so that help works without a network.
inline const QString HelpPageAddress = QStringLiteral("qrc:/help/index.html");
