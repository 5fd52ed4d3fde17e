#pragma once

#include "store/AnimalOutcomes.h"

#include <QDate>
#include <QDialog>

class MessageBoxes;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class RecordFile;
class ShopDatabase;

// 販売する: records a sale in one step, the sale in soranika.db and the chart's 販売日 together.
// OK checks and stores, Cancel (and Esc) changes nothing; a refused entry keeps the dialog open with
// what was typed and the focus in the field the message is about.
class SellDialog : public QDialog
{
    Q_OBJECT
public:
    SellDialog(RecordFile& records, ShopDatabase& database, MessageBoxes& messages, qint32 number,
               const QDate& today, const QStringList& staffNames, QWidget* parent);

    void accept() override;

private:
    void buildLayout(const QString& kind, const QStringList& staffNames);
    void showBuyerKind();
    Sale typedSale() const;
    bool confirmed(const Sale& sale);

    RecordFile& records;
    ShopDatabase& database;
    MessageBoxes& messages;
    qint32 number;
    PetRecord chart;
    Species species = Species::Other;
    // The box a refused entry sends the focus back to.
    mutable QWidget* refusedField = nullptr;

    QLineEdit* saleDate;
    QLineEdit* price;
    QComboBox* buyerKind;
    QLineEdit* buyerName;
    QLineEdit* buyerAddress;
    QLineEdit* buyerPhone;
    QLineEdit* buyerRegNo;
    QLineEdit* buyerCheck;
    QComboBox* staff;
    QLineEdit* explainedOn;
    QComboBox* explainedHow;
    QLineEdit* microchip;
    QCheckBox* chipRegistered;
    QLineEdit* chipCertificateOn;
    QLineEdit* noChipReason;
    QDialogButtonBox* buttonBox;
};
