#pragma once

#include "store/SaleStore.h"

#include <QDialog>
#include <QMap>

class ItemTexts;
class MessageBoxes;
class QComboBox;
class QDialogButtonBox;
class QLineEdit;

// 事業者情報: the shop's registration as an animal dealer and its person in charge of animal handling,
// printed at the top of every sale-time explanation, and the explanation's texts for every dog, every
// cat and every other animal whose kind has none of its own.
class DealerInfoDialog : public QDialog
{
    Q_OBJECT
public:
    DealerInfoDialog(SaleStore& store, MessageBoxes& messages, QWidget* parent);

    void accept() override;

private:
    void buildLayout();
    void showSpecies();

    SaleStore& store;
    MessageBoxes& messages;
    // The species' texts as saved, and as the user changed them, by 犬, 猫 and その他.
    QMap<QString, BreedTexts> saved;
    QMap<QString, BreedTexts> edited;
    QString shownSpecies;

    QLineEdit* registrationNumber;
    QLineEdit* animalHandler;
    QComboBox* defaultSpecies;
    ItemTexts* items;
    QDialogButtonBox* buttonBox;
};
