#include "sale/ShopAnimals.h"

#include "store/DateText.h"
#include "store/DisplayText.h"

#include <QFileInfo>
#include <QHash>

QList<ShopAnimal> shopAnimals(const std::vector<PetRecord>& records, const QList<AnimalOutcome>& outcomes,
                              const QMap<QString, Species>& species)
{
    QMap<qint32, AnimalOutcome> byChart;
    QList<ShopAnimal> animals;
    animals.reserve(qsizetype(records.size()) + outcomes.size());
    // Many animals come in on the same day: each date text is read once.
    QHash<QString, QDate> dates;
    const auto dateOf = [&dates](const QString& text) {
        auto known = dates.constFind(text);
        if (known == dates.cend())
            known = dates.insert(text, readShopDate(text));
        return *known;
    };
    for (const AnimalOutcome& outcome : outcomes) {
        if (outcome.recordNumber > 0) {
            byChart.insert(outcome.recordNumber, outcome);
            continue;
        }
        animals.append({0,
                        outcome.kind,
                        outcome.species,
                        outcome.purchased,
                        dateOf(outcome.purchased),
                        {},
                        nullptr,
                        outcome});
    }
    for (std::size_t index = 0; index < records.size(); ++index) {
        const PetRecord& record = records[index];
        const QString kind = tableText(record.Kind);
        if (kind.isEmpty())
            continue;
        const qint32 number = qint32(index + 1);
        const QString purchased = tableText(record.PurchaseDate);
        ShopAnimal animal{number,
                          kind,
                          speciesOfKind(kind, species),
                          purchased,
                          dateOf(purchased),
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
