#include "platform/MessageBoxes.h"

#include "platform/RunningHandlers.h"

#include <QMessageBox>

MessageBoxes::Answer RealMessageBoxes::ask(QWidget* parent, const QString& text, const QString& title,
                                           Buttons buttons, Icon icon, Answer defaultAnswer)
{
    // The box runs its own event loop; the handler that asked is still running meanwhile.
    const HandlerScope running;
    // Over a window that is not shown yet (a screen still loading) the box is centred on the screen.
    QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, title, text,
                    buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
                    parent && parent->isVisible() ? parent : nullptr);
    box.setTextFormat(Qt::PlainText);
    const bool cancelIsDefault = buttons == Buttons::OkCancel && defaultAnswer == Answer::Cancel;
    box.setDefaultButton(cancelIsDefault ? QMessageBox::Cancel : QMessageBox::Ok);
    if (buttons == Buttons::OkCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

MessageBoxes::Answer ScriptedMessageBoxes::ask(QWidget*, const QString& text, const QString& title,
                                               Buttons buttons, Icon icon, Answer defaultAnswer)
{
    asked.append({text, title, buttons, icon, defaultAnswer});
    return answers.isEmpty() ? Answer::Ok : answers.takeFirst();
}
