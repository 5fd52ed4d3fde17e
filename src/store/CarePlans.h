#pragma once

#include <QList>
#include <QString>

#include <optional>

// When a medication of the pick list falls due for an animal in stock: first at `firstAgeDays` of age,
// then `intervalDays` after the last dose, until `doses` were given. Any of the three may be missing.
struct CarePlan
{
    QString medication;
    std::optional<int> intervalDays;
    std::optional<int> firstAgeDays;
    std::optional<int> doses;

    bool isEmpty() const { return !intervalDays && !firstAgeDays && !doses; }
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
    explicit CarePlans(QString fileName = QStringLiteral("soranika.db"));

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
