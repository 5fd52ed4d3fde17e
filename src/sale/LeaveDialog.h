#pragma once

#include "store/AnimalOutcomes.h"

#include <QDate>
#include <QDialog>

class MessageBoxes;
class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class RecordFile;
class ShopDatabase;

// 死亡・譲渡を記録: an animal that left the shop without a sale. OK checks and stores; Cancel (and
// Esc) changes nothing; a refused entry keeps the dialog open with what was typed.
class LeaveDialog : public QDialog
{
    Q_OBJECT
public:
    LeaveDialog(RecordFile& records, ShopDatabase& database, MessageBoxes& messages, qint32 number,
                const PetRecord& chart, const QDate& today, QWidget* parent);

    void accept() override;

private:
    void buildLayout();

    RecordFile& records;
    ShopDatabase& database;
    MessageBoxes& messages;
    qint32 number;
    PetRecord chart;

    QLineEdit* leftOn;
    QComboBox* kind;
    QLineEdit* detail;
    QDialogButtonBox* buttonBox;
};
