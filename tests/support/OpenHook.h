#pragma once

#include <QByteArray>

#include <functional>

// While this lives, `before` runs each time the process is about to open a file named `fileName`,
// with the number of such opens so far (1 for the first). It stands for another program that changes
// the file between two reads the program makes in one go, at an exact point between them.
class OpenHook
{
public:
    OpenHook(QByteArray fileName, std::function<void(int opens)> before);
    ~OpenHook();
    OpenHook(const OpenHook&) = delete;
    OpenHook& operator=(const OpenHook&) = delete;

    int opens() const { return count; }

    // Called for every open of the process; runs the hook when the name matches.
    void opening(const char* path);

private:
    QByteArray name;
    std::function<void(int)> before;
    int count = 0;
};
