#pragma once

#include "store/AnimalOutcomes.h"
#include "store/PetRecord.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>
#include <vector>

// One animal the shop owned: a chart of the record file, or the row kept of an animal whose chart
// was cleared.
struct ShopAnimal
{
    qint32 number = 0; // 0 once the chart was cleared
    QString kind;
    Species species = Species::Other;
    QString purchased;                    // 仕入日 as typed
    QDate purchasedOn;                    // 仕入日 read; invalid when it does not read
    QString saleDate;                     // the chart's 販売日 as typed; empty once cleared
    const PetRecord* chart = nullptr;     // null once cleared
    std::optional<AnimalOutcome> outcome; // a sale or departure recorded for it

    bool inStock() const { return chart != nullptr && !outcome && saleDate.isEmpty(); }
};

// The animals of the cleared charts' rows, then every chart that is not free (record number =
// index + 1), each with its recorded outcome and the species saved for its kind. The charts point
// into `records`.
QList<ShopAnimal> shopAnimals(const std::vector<PetRecord>& records, const QList<AnimalOutcome>& outcomes,
                              const QMap<QString, Species>& species);

// What soranika.db holds of the animals: the outcomes and each kind's species. A shop without the
// file has neither, and the file is not created.
struct StoredOutcomes
{
    QList<AnimalOutcome> outcomes;
    QMap<QString, Species> species;
};
StoredOutcomes storedOutcomes(const QString& databaseName);
