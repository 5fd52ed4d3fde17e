#include "support/ScriptedMessageBoxes.h"

MessageBoxes::Answer ScriptedMessageBoxes::ask(QWidget*, const QString& text, const QString& title,
                                               Buttons buttons, Icon icon, Answer defaultAnswer)
{
    asked.append({text, title, buttons, icon, defaultAnswer});
    if (!answers.isEmpty())
        return answers.takeFirst();
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}
