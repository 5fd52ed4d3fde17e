#include "platform/RunningHandlers.h"

#include <QCoreApplication>

RunningHandlers& RunningHandlers::instance()
{
    static RunningHandlers* handlers = [] {
        auto* created = new RunningHandlers;
        created->setParent(QCoreApplication::instance());
        return created;
    }();
    return *handlers;
}

HandlerScope::HandlerScope()
{
    ++RunningHandlers::instance().depth;
}

HandlerScope::~HandlerScope()
{
    RunningHandlers& handlers = RunningHandlers::instance();
    if (--handlers.depth == 0)
        emit handlers.allReturned();
}
