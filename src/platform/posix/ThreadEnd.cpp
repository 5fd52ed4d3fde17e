#include "platform/ThreadEnd.h"

// A thread still ending when the program ends holds up nothing here: QThread::wait() is enough.
ThreadEnd::~ThreadEnd() = default;

void ThreadEnd::takeCurrentThread()
{
}

void ThreadEnd::wait()
{
}
