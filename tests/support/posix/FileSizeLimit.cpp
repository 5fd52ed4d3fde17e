#include "support/FileSizeLimit.h"

#include <csignal>

#include <sys/resource.h>

namespace {

rlimit previous{};
void (*previousHandler)(int) = nullptr;

} // namespace

// A write past the limit fails with EFBIG instead of raising SIGXFSZ.
FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = rlim_t(bytes);
    if (setrlimit(RLIMIT_FSIZE, &small) != 0)
        qFatal("FileSizeLimit: setrlimit failed");
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
}
