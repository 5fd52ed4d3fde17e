#include "app/ScreenWindow.h"

#include "platform/ActivationWatcher.h"

#include <QCloseEvent>

ScreenWindow::ScreenWindow(ScreenContext& context) : QWidget(nullptr), context(context)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

void ScreenWindow::closeEvent(QCloseEvent* event)
{
    if (!unload()) {
        event->ignore();
        return;
    }
    event->accept();
    emit unloaded();
}

void ScreenWindow::disconnectControls()
{
    for (QObject* control : findChildren<QObject*>())
        control->disconnect(this);
    ActivationWatcher::instance().disconnect(this);
}
