#include "platform/Fonts.h"

// Every Japanese Windows has both MS Gothic faces. The IPA faces stand in where they are missing
// (Windows in another language with the fonts added, or Wine).
QStringList screenFontFamilies()
{
    return {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
            QStringLiteral("Meiryo UI")};
}

QStringList printFontFamilies()
{
    return {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic")};
}
