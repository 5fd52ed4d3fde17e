#include "sale/ShopAnimals.h"

#include "store/DateText.h"
#include "store/DisplayText.h"
#include "store/ShopDatabase.h"

#include <QHash>

#include <algorithm>

QDate ownedSince(const QString& purchased, const QString& supplier, const QString& birth)
{
    const QDate typed = readShopDate(purchased);
    if (typed.isValid() || !purchased.trimmed().isEmpty())
        return typed;
    return supplier.contains(BornInShop) ? readShopDate(birth) : QDate();
}

QDate ShopAnimal::leftOn() const
{
    if (outcome && outcome->hasLeft())
        return outcome->leftShopOn();
    return typedSaleDay();
}

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
    // The newest stay of a chart is its present; every other stay stands on its own.
    QMap<qint32, qint64> present;
    for (const AnimalOutcome& outcome : outcomes) {
        if (outcome.recordNumber > 0 && std::size_t(outcome.recordNumber) <= records.size() &&
            !tableText(records[std::size_t(outcome.recordNumber - 1)].Kind).isEmpty())
            present[outcome.recordNumber] = std::max(present.value(outcome.recordNumber), outcome.id);
    }
    for (const AnimalOutcome& outcome : outcomes) {
        if (outcome.recordNumber > 0 && present.value(outcome.recordNumber) == outcome.id) {
            byChart.insert(outcome.recordNumber, outcome);
            continue;
        }
        const QDate owned = outcome.returnedByBuyer
                                ? readShopDate(outcome.purchased)
                                : ownedSince(outcome.purchased, outcome.supplier, outcome.birth);
        animals.append({outcome.chartNumber(),
                        outcome.kind,
                        outcome.species,
                        outcome.purchased,
                        owned,
                        {},
                        nullptr,
                        outcome,
                        outcome.recordNumber == 0,
                        {}});
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
                          purchased.isEmpty()
                              ? ownedSince(purchased, tableText(record.Supplier), birthDateText(record))
                              : dateOf(purchased),
                          tableText(record.SaleDate),
                          &record,
                          std::nullopt,
                          false,
                          {}};
        if (const auto found = byChart.constFind(number); found != byChart.cend()) {
            animal.outcome = *found;
            if (found->returnedByBuyer) {
                animal.purchased = found->purchased;
                animal.purchasedOn = dateOf(found->purchased);
            }
        }
        if (!(animal.outcome && (animal.outcome->hasLeft() || animal.outcome->returnedByBuyer)))
            animal.typedSoldOn = dateOf(animal.saleDate);
        animals.append(std::move(animal));
    }
    return animals;
}

StoredOutcomes storedOutcomes(const ShopDatabase& database)
{
    if (!database.exists())
        return {};
    const AnimalOutcomes& stored = database.outcomes();
    return {stored.outcomes(), stored.allSpecies()};
}
