#pragma once

class QFileDevice;

// Pushes what was written to `file` through the operating system's cache onto the disk, so a
// save that reported success survives a power cut.
bool syncToDisk(QFileDevice& file);
