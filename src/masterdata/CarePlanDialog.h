#pragma once

#include "store/CarePlans.h"

#include <QDialog>
#include <QStringList>

class MessageBoxes;
class QTableWidget;

// ケアの間隔: for each medication of the pick list, when it falls due — the age of the first dose,
// the days between doses and how many doses there are. Empty cells mean no such figure.
class CarePlanDialog : public QDialog
{
    Q_OBJECT
public:
    // `medications`: the pick list's names, in the order shown; plans of names no longer on the list
    // are shown after them, so nothing saved is dropped unseen.
    CarePlanDialog(CarePlans& store, MessageBoxes& messages, const QStringList& medications, QWidget* parent);

    void accept() override;

private:
    void buildLayout();
    QList<CarePlan> typedPlans() const;

    CarePlans& store;
    MessageBoxes& messages;
    QTableWidget* carePlans;
};
