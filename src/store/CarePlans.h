#pragma once

#include "store/AnimalOutcomes.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The animals a care plan is for: すべて, 犬, 猫 or その他.
enum class CareFor { All, Dog, Cat, Other };

QString careForText(CareFor animals);
// The plan's animals named by their text; none for a text that names none.
std::optional<CareFor> careForOf(const QString& text);
// Whether a plan for `animals` applies to an animal of `species`. An animal whose kind has no species
// saved gets only the plans for every animal.
bool careApplies(CareFor animals, Species species);

// When a medication of the pick list falls due for an animal in stock: first at `firstAgeDays` of age,
// then `intervalDays` after the last dose, until `doses` were given. Any of the three may be missing.
// An animal given this medication is not due the ones it `replaces` (a cat on 混合ワクチン（3種） is
// not due 混合ワクチン（5種）).
struct CarePlan
{
    QString medication;
    std::optional<int> intervalDays;
    std::optional<int> firstAgeDays;
    std::optional<int> doses;
    CareFor animals = CareFor::All;
    QStringList replaces;

    bool isEmpty() const { return !intervalDays && !firstAgeDays && !doses && replaces.isEmpty(); }
    friend bool operator==(const CarePlan&, const CarePlan&) = default;
};

// The overview marks an animal in stock older than `ageDays` or kept longer than `stockDays`.
struct StockLimits
{
    int ageDays = 120;
    int stockDays = 60;
    friend bool operator==(const StockLimits&, const StockLimits&) = default;
};

// The care plans and the stock marks, kept in soranika.db. Reading a shop without the file gives no
// plans and the usual marks and creates nothing; saving is one transaction.
class CarePlans
{
public:
    explicit CarePlans(QString fileName = ShopFiles::SaleDatabase);

    // By medication name.
    QList<CarePlan> plans() const;
    // Replaces every plan; a plan without figures is not kept. A figure out of range is refused
    // with a message naming the medication, and nothing changes.
    void savePlans(const QList<CarePlan>& plans);

    StockLimits stockLimits() const;
    void saveStockLimits(const StockLimits& limits);

private:
    QString name;
};
