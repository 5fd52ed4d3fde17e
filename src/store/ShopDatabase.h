#pragma once

#include "store/AnimalOutcomes.h"
#include "store/CarePlans.h"
#include "store/SaleStore.h"
#include "store/ShopFiles.h"

#include <QString>

// soranika.db's one front door: the sale information, the animals' stays and the care plans, all
// kept in the one file beside detapetto.dt. The screens reach the file only through here.
class ShopDatabase
{
public:
    explicit ShopDatabase(QString fileName = ShopFiles::SaleDatabase);

    const QString& fileName() const { return name; }
    // Whether the file is there: a shop that never sold has none, and reading it must not create one.
    bool exists() const;

    SaleStore& sales() { return saleStore; }
    const SaleStore& sales() const { return saleStore; }
    AnimalOutcomes& outcomes() { return animalOutcomes; }
    const AnimalOutcomes& outcomes() const { return animalOutcomes; }
    CarePlans& carePlans() { return plans; }
    const CarePlans& carePlans() const { return plans; }

    // The present stay of chart `number`; none without the file, which this does not create.
    std::optional<AnimalOutcome> storedOutcome(qint32 number) const;
    // Every chart's sale information; none without the file, which this does not create.
    QMap<qint32, ChartSale> storedChartSales() const;

private:
    QString name;
    SaleStore saleStore;
    AnimalOutcomes animalOutcomes;
    CarePlans plans;
};
