#pragma once

#include "store/SaleStore.h"

#include <QDialog>

class MessageBoxes;
class QDialogButtonBox;
class QLineEdit;

// 事業者情報: the shop's registration as an animal dealer and its person in charge of animal handling,
// printed at the top of every sale-time explanation.
class DealerInfoDialog : public QDialog
{
    Q_OBJECT
public:
    DealerInfoDialog(SaleStore& store, MessageBoxes& messages, QWidget* parent);

    void accept() override;

private:
    SaleStore& store;
    MessageBoxes& messages;
    QLineEdit* registrationNumber;
    QLineEdit* animalHandler;
    QDialogButtonBox* buttonBox;
};
