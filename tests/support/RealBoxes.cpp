#include "support/RealBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>

RealBoxes::RealBoxes(QList<QMessageBox::StandardButton> answers) : answers(std::move(answers))
{
    connect(&timer, &QTimer::timeout, this, &RealBoxes::answerOpenBox);
    timer.start(10);
}

void RealBoxes::answerOpenBox()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    Seen shown{
        box->text(), box->windowTitle(), {}, box->defaultButton() ? box->defaultButton()->text() : QString()};
    for (QAbstractButton* button : box->buttons())
        shown.buttons.append(button->text());
    seen.append(shown);
    QAbstractButton* press = answers.isEmpty() ? box->defaultButton() : box->button(answers.takeFirst());
    press->click();
}
