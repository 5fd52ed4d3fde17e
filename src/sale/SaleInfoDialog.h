#pragma once

#include "store/SaleStore.h"

#include <QDialog>

class MessageBoxes;
class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// マイクロチップ・販売情報: what one chart needs for its sale beyond the record. OK checks and saves,
// Cancel (and Esc) changes nothing; a refused entry keeps the dialog open with what was typed.
class SaleInfoDialog : public QDialog
{
    Q_OBJECT
public:
    SaleInfoDialog(SaleStore& store, MessageBoxes& messages, qint32 number, const PetRecord& record,
                   QWidget* parent);

    void accept() override;

private:
    void buildLayout(qint32 number, const QString& kind);
    void showSale(const ChartSale& sale);
    ChartSale typedSale();

    // What the dialog has no box for is saved as it was read.
    ChartSale loaded;
    bool otherChartConfirmed(const QString& microchip);
    bool otherAnimalConfirmed(const ChartSale& sale);
    void clearSale();

    SaleStore& store;
    MessageBoxes& messages;
    qint32 number;
    SaleAnimal animal;
    // The saved information when it was entered for another animal than the chart holds now.
    std::optional<ChartSale> otherAnimalSale;

    QLineEdit* microchip;
    QLineEdit* chipImplanted;
    QLineEdit* chipRegistered;
    QLineEdit* chipCertificateOn;
    QCheckBox* neutered;
    QLineEdit* neuteredOn;
    QLineEdit* owner;
    QPlainTextEdit* hereditary;
    QLineEdit* buyerName;
    QLineEdit* buyerAddress;
    QLineEdit* buyerPhone;
    QLineEdit* explainedOn;
    QLabel* mismatch;
    QPushButton* clearButton;
    QLineEdit* breederName;
    QLineEdit* breederReg;
    QLineEdit* sellerName;
    QLineEdit* sellerReg;
    QDialogButtonBox* buttonBox;
    QLineEdit* refusedBox = nullptr;
};
