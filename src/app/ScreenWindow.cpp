#include "app/ScreenWindow.h"

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
