#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Answers real message boxes from a timer, as a user would, so that each box runs its own event loop
// exactly as it does in the program.
class RealBoxes : public QObject
{
    Q_OBJECT
public:
    struct Seen
    {
        QString text;
        QString title;
        QStringList buttons;
        QString defaultButton;
    };

    // The buttons to press, in turn; once they are used up, every box is answered with its default.
    explicit RealBoxes(QList<QMessageBox::StandardButton> answers = {});

    QList<Seen> seen;

private:
    void answerOpenBox();

    QList<QMessageBox::StandardButton> answers;
    QTimer timer;
};
