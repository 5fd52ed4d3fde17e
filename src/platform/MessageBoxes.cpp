#include "platform/MessageBoxes.h"

#include <QMessageBox>

MessageBoxes::Answer RealMessageBoxes::ask(QWidget* parent, const QString& text, const QString& title,
                                           Buttons buttons, Icon icon)
{
    QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, title, text,
                    buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
                    parent);
    box.setDefaultButton(QMessageBox::Ok);
    if (buttons == Buttons::OkCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

MessageBoxes::Answer ScriptedMessageBoxes::ask(QWidget*, const QString& text, const QString& title,
                                               Buttons buttons, Icon icon)
{
    asked.append({text, title, buttons, icon});
    const Answer answer = nextAnswer;
    nextAnswer = Answer::Ok;
    return answer;
}
