#pragma once

#include <QtGlobal>

#include <csignal>
#include <sys/resource.h>

// A limit on the size of every file this process writes, for as long as it lives: a write past it
// fails with EFBIG, as on a full disk, instead of raising SIGXFSZ. File modes do not stop root,
// whom the tests may run as; this limit stops everyone.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes) : previousHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit small = previous;
        small.rlim_cur = rlim_t(bytes);
        active = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool isActive() const { return active; }

private:
    rlimit previous{};
    void (*previousHandler)(int);
    bool active = false;
};
