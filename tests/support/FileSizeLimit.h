#pragma once

#include <QtGlobal>

// A limit on the size of every file this process writes, for as long as it lives: a write past it
// fails as on a full disk. File modes do not stop root, whom the tests may run as; this limit stops
// everyone.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
};
