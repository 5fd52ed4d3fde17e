#pragma once

#include <QString>

// The shop's name, telephone, address and comment, kept per user under application "soranika",
// section "mysave1", keys "myd1" .. "myd4".
namespace ShopSettings {

inline const QString Keys[4] = {QStringLiteral("myd1"), QStringLiteral("myd2"), QStringLiteral("myd3"),
                                QStringLiteral("myd4")};

// The stored value, or the empty string when the key was never saved.
QString get(const QString& key);

// Stores `value` exactly as given; a failure when the store cannot be written.
void save(const QString& key, const QString& value);

} // namespace ShopSettings
