#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

// shop.ini in a backup: the four shop settings as an INI file, section "mysave1", keys "myd1" ..
// "myd4", written and read by QSettings so that any text comes back exactly as it was.
namespace ShopIni {

inline const QString FileName = QStringLiteral("shop.ini");

// `values` holds myd1 .. myd4 in that order.
QByteArray encode(const QStringList& values);

// The four values, or nothing when the bytes are not such a file or lack one of the keys.
std::optional<QStringList> decode(const QByteArray& bytes);

} // namespace ShopIni
