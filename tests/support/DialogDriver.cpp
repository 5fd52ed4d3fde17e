#include "support/DialogDriver.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

void whenDialogShows(std::function<void(QDialog*)> step)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        step(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    timer->start(10);
}
