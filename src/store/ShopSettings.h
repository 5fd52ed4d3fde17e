#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The shop's name, telephone, address and comment, kept per user under application "soranika",
// section "mysave1", keys "myd1" .. "myd4".
namespace ShopSettings {

inline const QString Keys[4] = {QStringLiteral("myd1"), QStringLiteral("myd2"), QStringLiteral("myd3"),
                                QStringLiteral("myd4")};

// The file the values are kept in.
QString fileName();

// The stored value, or the empty string when the key was never saved. A value that the settings
// file holds as a list (a hand-written comma outside quotes) reads as its items joined by ", ".
// A settings file that is not a regular file fails with "ファイルを開けません。 (path)" before it
// is read, so a FIFO there cannot block the program.
QString get(const QString& key);

// Stores `value` exactly as given. When the store cannot be written in full (a full disk), the
// file stays as it was and the save fails with "設定を保存できません。".
void save(const QString& key, const QString& value);

// The settings file's bytes once the four values (myd1 .. myd4) are saved into it, as save() would
// leave it, for writing the whole file at once. Fails like save().
QByteArray fileBytesWith(const QStringList& values);

} // namespace ShopSettings
