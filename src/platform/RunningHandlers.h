#pragma once

#include <QObject>

// Counts the event handlers that are still on the stack, also one that waits in a message box's own
// event loop, so that program-wide checks can wait until every handler has returned.
class RunningHandlers : public QObject
{
    Q_OBJECT
public:
    static RunningHandlers& instance();

    bool any() const { return depth > 0; }

signals:
    // The outermost running handler has returned.
    void allReturned();

private:
    friend class HandlerScope;
    RunningHandlers() = default;

    int depth = 0;
};

// Marks a handler, a message box or a screen's load as running for as long as it lives.
class HandlerScope
{
public:
    HandlerScope();
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
};
