#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Whole files read in one go, for the backup's snapshots, or a piece at a time.
namespace WholeFile {

// The file's bytes; nothing when it cannot be opened or read or is larger than `maxSize`.
std::optional<QByteArray> read(const QString& path, qint64 maxSize);

// The SHA-256 of the file's bytes (raw, not hexadecimal), read a piece at a time; nothing when it
// cannot be opened or read.
std::optional<QByteArray> sha256(const QString& path);

} // namespace WholeFile
