#include "store/CarePlans.h"

#include "store/Failure.h"
#include "store/SaleDatabase.h"

#include <QFileInfo>

namespace {

constexpr int MaxDays = 3650;
constexpr int MaxDoses = 99;

QVariant optionalNumber(const std::optional<int>& number)
{
    return number ? QVariant(*number) : QVariant();
}

std::optional<int> numberFrom(const QVariant& value)
{
    return value.isNull() ? std::nullopt : std::optional<int>(value.toInt());
}

void checkPlan(const CarePlan& plan)
{
    const auto within = [](const std::optional<int>& number, int low, int high) {
        return !number || (*number >= low && *number <= high);
    };
    if (!within(plan.intervalDays, 1, MaxDays) || !within(plan.firstAgeDays, 0, MaxDays))
        throw Failure(QStringLiteral("%1：日数は 0～%2 日（間隔は 1 日から）で入力してください。")
                          .arg(plan.medication)
                          .arg(MaxDays));
    if (!within(plan.doses, 1, MaxDoses))
        throw Failure(
            QStringLiteral("%1：回数は 1～%2 回で入力してください。").arg(plan.medication).arg(MaxDoses));
}

// Names of the replaced plans, one a line: a pick-list item never holds a line break.
const QChar NameSeparator = QLatin1Char('\n');

} // namespace

QString careForText(CareFor animals)
{
    switch (animals) {
    case CareFor::Dog:
        return speciesText(Species::Dog);
    case CareFor::Cat:
        return speciesText(Species::Cat);
    case CareFor::Other:
        return speciesText(Species::Other);
    case CareFor::All:
        break;
    }
    return QStringLiteral("すべて");
}

std::optional<CareFor> careForOf(const QString& text)
{
    for (CareFor each : {CareFor::All, CareFor::Dog, CareFor::Cat, CareFor::Other}) {
        if (careForText(each) == text.trimmed())
            return each;
    }
    return std::nullopt;
}

bool careApplies(CareFor animals, Species species)
{
    switch (animals) {
    case CareFor::All:
        return true;
    case CareFor::Dog:
        return species == Species::Dog;
    case CareFor::Cat:
        return species == Species::Cat;
    case CareFor::Other:
        return species == Species::Other;
    }
    return false;
}

CarePlans::CarePlans(QString fileName) : name(std::move(fileName))
{
}

QList<CarePlan> CarePlans::plans() const
{
    QList<CarePlan> all;
    if (!QFileInfo::exists(name))
        return all;
    SaleDatabase db(name, name);
    QSqlQuery query =
        db.run(QStringLiteral("SELECT medication, interval_days, first_age_days, doses, species,"
                              " replaces FROM care_plan ORDER BY medication"));
    while (query.next()) {
        const QString replaces = query.value(5).toString();
        all.append({query.value(0).toString(), numberFrom(query.value(1)), numberFrom(query.value(2)),
                    numberFrom(query.value(3)), careForOf(query.value(4).toString()).value_or(CareFor::All),
                    replaces.isEmpty() ? QStringList() : replaces.split(NameSeparator)});
    }
    checkFinished(query, name);
    return all;
}

void CarePlans::savePlans(const QList<CarePlan>& plans)
{
    for (const CarePlan& plan : plans)
        checkPlan(plan);
    SaleDatabase db(name, name);
    SqliteTransaction transaction(db);
    db.run(QStringLiteral("DELETE FROM care_plan"));
    for (const CarePlan& plan : plans) {
        if (plan.isEmpty())
            continue;
        db.run(QStringLiteral("INSERT OR REPLACE INTO care_plan (medication, interval_days, first_age_days, "
                              "doses, species, replaces) VALUES (?, ?, ?, ?, ?, ?)"),
               {sqlText(plan.medication), optionalNumber(plan.intervalDays),
                optionalNumber(plan.firstAgeDays), optionalNumber(plan.doses), careForText(plan.animals),
                sqlText(plan.replaces.join(NameSeparator))});
    }
    transaction.commit();
}

StockLimits CarePlans::stockLimits() const
{
    StockLimits limits;
    if (!QFileInfo::exists(name))
        return limits;
    SaleDatabase db(name, name);
    QSqlQuery query = db.run(QStringLiteral("SELECT age_days, stock_days FROM stock_limit WHERE id = 1"));
    if (query.next())
        limits = {query.value(0).toInt(), query.value(1).toInt()};
    checkFinished(query, name);
    return limits;
}

void CarePlans::saveStockLimits(const StockLimits& limits)
{
    if (limits.ageDays < 1 || limits.ageDays > MaxDays || limits.stockDays < 1 || limits.stockDays > MaxDays)
        throw Failure(QStringLiteral("日数は 1～%1 日で入力してください。").arg(MaxDays));
    SaleDatabase db(name, name);
    db.run(QStringLiteral("INSERT OR REPLACE INTO stock_limit (id, age_days, stock_days) VALUES (1, ?, ?)"),
           {limits.ageDays, limits.stockDays});
}
