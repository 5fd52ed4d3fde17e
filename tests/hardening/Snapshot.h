#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// Everything under a folder by relative path: a file's bytes, a link's target, or what kind of
// thing a folder, FIFO, device or socket is. Two snapshots are equal when nothing changed.
using Snapshot = QMap<QString, QByteArray>;

Snapshot snapshot(const QString& folder);
