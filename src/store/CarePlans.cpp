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

} // namespace

CarePlans::CarePlans(QString fileName) : name(std::move(fileName))
{
}

QList<CarePlan> CarePlans::plans() const
{
    QList<CarePlan> all;
    if (!QFileInfo::exists(name))
        return all;
    SaleDatabase db(name, name);
    QSqlQuery query = db.run(QStringLiteral(
        "SELECT medication, interval_days, first_age_days, doses FROM care_plan ORDER BY medication"));
    while (query.next())
        all.append({query.value(0).toString(), numberFrom(query.value(1)), numberFrom(query.value(2)),
                    numberFrom(query.value(3))});
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
                              "doses) VALUES (?, ?, ?, ?)"),
               {sqlText(plan.medication), optionalNumber(plan.intervalDays),
                optionalNumber(plan.firstAgeDays), optionalNumber(plan.doses)});
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
