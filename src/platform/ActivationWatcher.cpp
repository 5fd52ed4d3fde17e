#include "platform/ActivationWatcher.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

ActivationWatcher& ActivationWatcher::instance()
{
    static ActivationWatcher* watcher = new ActivationWatcher;
    return *watcher;
}

ActivationWatcher::ActivationWatcher() : QObject(qApp)
{
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &ActivationWatcher::focusWindowChanged);
    qApp->installEventFilter(this);
}

void ActivationWatcher::focusWindowChanged(QWindow* window)
{
    if (!window)
        return; // another program took the focus; our last active window stays as it was
    QWidget* widget = nullptr;
    for (QWidget* topLevel : QApplication::topLevelWidgets()) {
        if (topLevel->windowHandle() == window)
            widget = topLevel;
    }
    // Message boxes and pop-up lists come and go over a window without it losing its place.
    if (!widget || widget == lastActive || widget->inherits("QMessageBox") || widget->inherits("QMenu") ||
        widget->windowType() == Qt::Popup || widget->windowType() == Qt::ToolTip)
        return;
    lastActive = widget;
    emit activated(widget);
}

bool ActivationWatcher::eventFilter(QObject* watched, QEvent* event)
{
    // A window hidden and shown again becomes active afresh, also where the platform kept the
    // focus on it while it was hidden.
    if (event->type() == QEvent::Hide && watched == lastActive.data())
        lastActive = nullptr;
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        QWindow* focused = QGuiApplication::focusWindow();
        if (focused && focused == static_cast<QWidget*>(watched)->windowHandle())
            focusWindowChanged(focused);
    }
    return QObject::eventFilter(watched, event);
}
