#include "platform/Fonts.h"

// IPA P Gothic comes first among the stand-ins: it was drawn to the widths of ＭＳ Ｐゴシック, which the
// screens were laid out in, and it is a fraction of Noto's size to load and keep in memory.
QStringList screenFontFamilies()
{
    return {QStringLiteral("ＭＳ Ｐゴシック"),  QStringLiteral("MS PGothic"),   QStringLiteral("IPAPGothic"),
            QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"), QStringLiteral("VL PGothic")};
}

// IPAGothic comes before Noto: Noto draws 犬 and the radical ⽝ with one glyph, and a PDF's text layer
// then gives back the radical, so "柴犬" could not be found in the file.
QStringList printFontFamilies()
{
    return {QStringLiteral("ＭＳ ゴシック"),    QStringLiteral("MS Gothic"),
            QStringLiteral("IPAGothic"),        QStringLiteral("Noto Sans Mono CJK JP"),
            QStringLiteral("Noto Sans CJK JP"), QStringLiteral("monospace")};
}
