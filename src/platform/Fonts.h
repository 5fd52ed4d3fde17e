#pragma once

#include <QStringList>

// The font families this system offers for the shop's screens (drawn in ＭＳ Ｐゴシック) and for
// printed lines (the fixed-pitch ＭＳ ゴシック), most wanted first. Missing ones are passed over.
QStringList screenFontFamilies();
QStringList printFontFamilies();
