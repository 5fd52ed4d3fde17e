#include "platform/Taskbar.h"

#include <QWidget>

void keepOutOfTaskbar(QWidget* window)
{
    // Windows gives no taskbar button to a window that has an owner, and Qt makes a window's
    // transient parent its owner.
    Q_UNUSED(window);
}
