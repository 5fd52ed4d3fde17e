#pragma once

#include <QString>
#include <QStringList>

// The nine pick lists of a shop's data folder, in the order of the master-data screen. Header only:
// the kill tests, which link no widgets, use it too.
inline const QStringList PickListNames{
    QStringLiteral("syurui.txt"), QStringLiteral("iro.txt"),     QStringLiteral("tokucyou.txt"),
    QStringLiteral("kusuri.txt"), QStringLiteral("taicyou.txt"), QStringLiteral("shoku.txt"),
    QStringLiteral("unti.txt"),   QStringLiteral("hoka1.txt"),   QStringLiteral("hoka2.txt")};
