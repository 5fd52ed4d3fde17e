#include "sale/ShopAnimals.h"

#include "store/DisplayText.h"

#include <QFileInfo>

QList<ShopAnimal> shopAnimals(const std::vector<PetRecord>& records, const QList<AnimalOutcome>& outcomes,
                              const QMap<QString, Species>& species)
{
    QMap<qint32, AnimalOutcome> byChart;
    QList<ShopAnimal> animals;
    for (const AnimalOutcome& outcome : outcomes) {
        if (outcome.recordNumber > 0) {
            byChart.insert(outcome.recordNumber, outcome);
            continue;
        }
        animals.append({0, outcome.kind, outcome.species, outcome.purchased, {}, nullptr, outcome});
    }
    for (std::size_t index = 0; index < records.size(); ++index) {
        const PetRecord& record = records[index];
        const QString kind = tableText(record.Kind);
        if (kind.isEmpty())
            continue;
        const qint32 number = qint32(index + 1);
        ShopAnimal animal{number,
                          kind,
                          speciesOfKind(kind, species),
                          tableText(record.PurchaseDate),
                          tableText(record.SaleDate),
                          &record,
                          std::nullopt};
        if (const auto found = byChart.constFind(number); found != byChart.cend())
            animal.outcome = *found;
        animals.append(std::move(animal));
    }
    return animals;
}

StoredOutcomes storedOutcomes(const QString& databaseName)
{
    if (!QFileInfo::exists(databaseName))
        return {};
    const AnimalOutcomes stored(databaseName);
    return {stored.outcomes(), stored.allSpecies()};
}
