#pragma once

#include <QList>
#include <QString>

class QWidget;

// Message boxes go through this service so tests can answer them without a modal loop.
class MessageBoxes
{
public:
    enum class Answer { Ok, Cancel, Yes, No };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { None, Warning };

    virtual ~MessageBoxes() = default;
    // Shows a modal box. Closing the box counts as Cancel when there is one, as No for Yes / No.
    virtual Answer ask(QWidget* parent, const QString& text, const QString& title, Buttons buttons, Icon icon,
                       Answer defaultAnswer = Answer::Ok) = 0;
};

class RealMessageBoxes final : public MessageBoxes
{
public:
    Answer ask(QWidget* parent, const QString& text, const QString& title, Buttons buttons, Icon icon,
               Answer defaultAnswer = Answer::Ok) override;
};
