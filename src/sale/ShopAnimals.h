#pragma once

#include "store/AnimalOutcomes.h"
#include "store/PetRecord.h"
#include "store/ShopDatabase.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>
#include <vector>

// What the shop writes as 仕入先 for an animal born in the shop: its 所有した日 is then its birth date.
inline const QString BornInShop = QStringLiteral("自家繁殖");

// The day the shop came to own an animal: its 仕入日, or its birth date when it was born in the shop
// (仕入先 自家繁殖) and no 仕入日 was typed; invalid when neither reads.
QDate ownedSince(const QString& purchased, const QString& supplier, const QString& birth);

// One stay of an animal in the shop: a chart of the record file with its present stay, an earlier stay
// of a chart (sold, then brought back), or the stay kept of an animal whose chart was cleared.
struct ShopAnimal
{
    qint32 number = 0; // the chart's number, also when it was cleared
    QString kind;
    Species species = Species::Unset;
    QString purchased; // 所有した日 as typed (仕入日, or the day a buyer brought it back)
    QDate purchasedOn; // the day it came, by ownedSince; invalid when it does not read
    QString saleDate;  // the chart's 販売日 as typed, for a chart's present stay only
    const PetRecord* chart = nullptr;     // null for an earlier or a cleared chart's stay
    std::optional<AnimalOutcome> outcome; // what is recorded of the stay
    bool cleared = false;                 // its chart was cleared
    // Sold by a 販売日 typed on the chart that has no sale recorded (a chart of an earlier version);
    // read once, as the counts ask for it of every animal again and again.
    QDate typedSoldOn;

    QDate typedSaleDay() const { return typedSoldOn; }
    // The day it left the shop, by what is recorded or by a typed 販売日; invalid while in stock.
    QDate leftOn() const;
    bool inStock() const
    {
        return chart != nullptr && !(outcome && outcome->hasLeft()) && !typedSaleDay().isValid();
    }
};

// The stays of the animals: kept stays (earlier or cleared charts'), then every chart that is not free
// (record number = index + 1), each with its present stay and the species saved for its kind. A
// blanked record is a cleared chart: only its kept stay counts. The charts point into `records`.
QList<ShopAnimal> shopAnimals(const std::vector<PetRecord>& records, const QList<AnimalOutcome>& outcomes,
                              const QMap<QString, Species>& species);

// What soranika.db holds of the animals: the outcomes and each kind's species. A shop without the
// file has neither, and the file is not created.
struct StoredOutcomes
{
    QList<AnimalOutcome> outcomes;
    QMap<QString, Species> species;
};
StoredOutcomes storedOutcomes(const ShopDatabase& database);
