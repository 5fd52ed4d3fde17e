#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Whole files read in one go, for the backup's snapshots.
namespace WholeFile {

// The file's bytes; nothing when it cannot be opened or read or is larger than `maxSize`.
std::optional<QByteArray> read(const QString& path, qint64 maxSize);

} // namespace WholeFile
