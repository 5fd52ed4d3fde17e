#pragma once

#include <QString>

// ヘルプ → バージョン情報: the program's version and licence, and each component it runs on with the
// version this run uses and the component's licence.
QString versionInfoText();
