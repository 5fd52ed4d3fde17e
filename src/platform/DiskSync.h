#pragma once

class QFileDevice;
class QString;

// Pushes what was written to `file` through the operating system's cache onto the disk, so a
// save that reported success survives a power cut.
bool syncToDisk(QFileDevice& file);

// Pushes the folder entry of a file just created onto the disk, so the file is still found after
// a power cut. Where the system keeps folder entries safe by itself, this does nothing.
bool syncFolderOf(const QString& fileName);
