#pragma once

#include "widgets/MessageBoxes.h"

#include <QList>
#include <QString>

// Answers from a script and records what was asked.
class ScriptedMessageBoxes final : public MessageBoxes
{
public:
    struct Asked
    {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
        Answer defaultAnswer;
    };

    Answer ask(QWidget* parent, const QString& text, const QString& title, Buttons buttons, Icon icon,
               Answer defaultAnswer = Answer::Ok) override;

    // The answers to the next boxes, in turn; once they are used up, boxes are answered with OK (はい for
    // a Yes / No question).
    void setNextAnswer(Answer answer) { answers.append(answer); }

    QList<Asked> asked;

private:
    QList<Answer> answers;
};
