#pragma once

#include <QStringList>

// Where the modules the program loads when first needed (the plots, the ZIP library) are looked for:
// beside the program, where it is installed, then on Qt's library path (the tests' build folder).
QStringList moduleFolders();
