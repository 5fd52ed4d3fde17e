#pragma once

#include <QString>
#include <QStringList>

// A pick list: a code page 932 text file in the working directory, one item per line.
namespace PickListFile {

// The nine lists, in the order in which the master-data screen handles them.
inline const QString FileNames[9] = {
    QStringLiteral("syurui.txt"), QStringLiteral("iro.txt"),     QStringLiteral("tokucyou.txt"),
    QStringLiteral("kusuri.txt"), QStringLiteral("taicyou.txt"), QStringLiteral("shoku.txt"),
    QStringLiteral("unti.txt"),   QStringLiteral("hoka1.txt"),   QStringLiteral("hoka2.txt")};

// Creates the file empty when it is missing; an existing file stays as it is.
void ensureExists(const QString& fileName);

// Every item in file order. A blank line is an empty item, a last line without CR LF is an item,
// and a file ending in CR LF has no empty item after it. A missing file is a failure.
QStringList readItems(const QString& fileName);

// Appends `item` and CR LF.
void appendItem(const QString& fileName, const QString& item);

// Replaces the file by `items`, each followed by CR LF. The new file is written beside the old one
// and renamed over it, so a failed write leaves the old list in place.
void rewrite(const QString& fileName, const QStringList& items);

// The bytes of `items` as the file holds them.
QByteArray encodeLines(const QStringList& items);
QStringList decodeLines(const QByteArray& bytes);

} // namespace PickListFile
