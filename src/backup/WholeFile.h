#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Whole files in one go, for the backup's snapshots and replacements.
namespace WholeFile {

// Replaces `path` by `bytes`: written beside it, pushed to the disk and renamed over it, so the
// file is either the old one or the new one, whatever happens. False when that did not succeed.
bool write(const QString& path, const QByteArray& bytes);

// The file's bytes; nothing when it cannot be opened or read or is larger than `maxSize`.
std::optional<QByteArray> read(const QString& path, qint64 maxSize);

} // namespace WholeFile
