#include "widgets/MessageBoxes.h"

#include "platform/RunningHandlers.h"

#include <QMessageBox>

MessageBoxes::Answer RealMessageBoxes::ask(QWidget* parent, const QString& text, const QString& title,
                                           Buttons buttons, Icon icon, Answer defaultAnswer)
{
    // The box runs its own event loop; the handler that asked is still running meanwhile.
    const HandlerScope running;
    // Over a window that is not shown yet (a screen still loading) the box is centred on the screen.
    const QMessageBox::StandardButtons shown =
        buttons == Buttons::OkCancel      ? QMessageBox::Ok | QMessageBox::Cancel
        : buttons == Buttons::YesNo       ? QMessageBox::Yes | QMessageBox::No
        : buttons == Buttons::YesNoCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                                          : QMessageBox::Ok;
    QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, title, text, shown,
                    parent && parent->isVisible() ? parent : nullptr);
    box.setTextFormat(Qt::PlainText);
    const auto standard = [](Answer answer) {
        switch (answer) {
        case Answer::Ok:
            return QMessageBox::Ok;
        case Answer::Cancel:
            return QMessageBox::Cancel;
        case Answer::Yes:
            return QMessageBox::Yes;
        case Answer::No:
            return QMessageBox::No;
        }
        return QMessageBox::Cancel;
    };
    box.setDefaultButton(shown.testFlag(standard(defaultAnswer)) ? standard(defaultAnswer) : QMessageBox::Ok);
    if (buttons == Buttons::YesNo)
        box.setEscapeButton(QMessageBox::No);
    else if (buttons != Buttons::Ok)
        box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}
