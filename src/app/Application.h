#pragma once

#include <QString>

inline const QString ProgramVersion = QStringLiteral("1.00.0002");

// The program's identity and language, set once right after the application object is made:
// names and version, the Japanese locale, and Qt's own Japanese texts for standard buttons and dialogs.
void setUpApplication();
