#pragma once

#include "store/AnimalOutcomes.h"
#include "store/SaleStore.h"

#include <QDialog>
#include <QMap>

class MessageBoxes;
class ShopDatabase;
class QDialogButtonBox;
class QLabel;
class QComboBox;
class QListWidget;
class QPushButton;
class ItemTexts;

// 品種情報: for each kind of the kind pick list, whether it is a dog, a cat or another animal, and the
// texts of items 2 to 10 that the sale-time explanation prints. OK saves every kind that was changed; Cancel
// changes nothing.
class BreedInfoDialog : public QDialog
{
    Q_OBJECT
public:
    BreedInfoDialog(ShopDatabase& database, MessageBoxes& messages, const QStringList& kinds,
                    QWidget* parent);

    void accept() override;

private:
    void buildLayout(const QStringList& kinds);
    void showKind(const QString& kind);
    void keepTyped();
    void showProposal();

    SaleStore& store;
    AnimalOutcomes& outcomes;
    MessageBoxes& messages;
    // The texts as saved, and as the user changed them, by kind.
    QMap<QString, BreedTexts> saved;
    QMap<QString, BreedTexts> edited;
    QString shownKind;
    // Each kind's 犬 / 猫 / その他, as saved and as chosen.
    QMap<QString, Species> savedSpecies;
    QMap<QString, Species> chosenSpecies;
    // The texts an empty item of each species takes.
    QMap<Species, BreedTexts> speciesDefaults;

    QListWidget* breeds;
    QLabel* breedName;
    QComboBox* species;
    QPushButton* proposeSpecies;
    ItemTexts* items;
    QDialogButtonBox* buttonBox;
};
