#pragma once

// A thread held so that another can wait until the system has ended it. QThread::wait() returns
// once the thread's work is done, while the system may still be ending it; a program that ends
// meanwhile has that thread stopped, and on Windows, stopped inside a lock of the C++ runtime, the
// program's own end then waits for that lock for ever.
class ThreadEnd
{
public:
    ThreadEnd() = default;
    ~ThreadEnd();
    ThreadEnd(const ThreadEnd&) = delete;
    ThreadEnd& operator=(const ThreadEnd&) = delete;

    // Called on the thread to be waited for, once any thread taken before has been waited for.
    void takeCurrentThread();
    // Returns once the thread taken, if any, has ended.
    void wait();

private:
    // The system's handle on the thread, where the system has one to wait on (not on Linux).
    [[maybe_unused]] void* handle = nullptr;
};
