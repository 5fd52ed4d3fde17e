#include "overview/ShopFigures.h"

#include "store/DateText.h"
#include "store/DisplayText.h"
#include "store/FreeText.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

QDate birthOf(const PetRecord& record)
{
    return QDate(record.BirthYear, record.BirthMonth, record.BirthDay);
}

std::optional<int> daysSince(const QDate& from, const QDate& today)
{
    return from.isValid() ? std::optional<int>(int(from.daysTo(today))) : std::nullopt;
}

// An animal's dates, read once for every month.
struct Dated
{
    QDate purchased;
    QDate left; // invalid while it is in the shop
    bool leftUnread = false;
    bool sold = false;
    std::optional<qint64> price;
    std::optional<qint64> cost;
};

Dated datesOf(const ShopAnimal& animal)
{
    Dated dated;
    dated.purchased = readShopDate(animal.purchased);
    if (animal.outcome) {
        dated.left = animal.outcome->leftShopOn();
        dated.sold = animal.outcome->sale.has_value();
        if (dated.sold)
            dated.price = animal.outcome->sale->price;
    } else if (!animal.saleDate.isEmpty()) {
        dated.left = readShopDate(animal.saleDate);
        dated.leftUnread = !dated.left.isValid();
        dated.sold = true;
    }
    if (animal.chart != nullptr)
        dated.cost = readPrice(tableText(animal.chart->PurchaseCost));
    return dated;
}

int monthsFrom(const QDate& first, const QDate& date)
{
    return (date.year() - first.year()) * 12 + date.month() - first.month();
}

} // namespace

StockFigures stockNow(const QList<ShopAnimal>& animals, const QDate& today, const StockLimits& limits)
{
    StockFigures figures;
    for (const ShopAnimal& animal : animals) {
        if (!animal.inStock())
            continue;
        StockAnimal row;
        row.number = animal.number;
        row.kind = animal.kind;
        row.species = animal.species;
        row.sex = tableText(animal.chart->Sex);
        row.ageDays = daysSince(birthOf(*animal.chart), today);
        row.daysInStock = daysSince(readShopDate(animal.purchased), today);
        row.plannedPrice = tableText(animal.chart->PlannedPrice);
        row.pastAge = row.ageDays && *row.ageDays > limits.ageDays;
        row.pastStock = row.daysInStock && *row.daysInStock > limits.stockDays;
        figures.animals.append(row);
        ++(animal.species == Species::Dog   ? figures.dogs
           : animal.species == Species::Cat ? figures.cats
                                            : figures.others);
        ++figures.byKind[animal.kind];
    }
    return figures;
}

QList<MonthFigures> monthFigures(const QList<ShopAnimal>& animals, const QDate& firstMonth, int months)
{
    const QDate first(firstMonth.year(), firstMonth.month(), 1);
    QList<MonthFigures> figures(months);
    QList<qint64> daysSold(months, 0);
    QList<int> salesTimed(months, 0);
    for (int index = 0; index < months; ++index)
        figures[index].month = first.addMonths(index);
    const auto monthOf = [&](const QDate& date) -> MonthFigures* {
        const int index = date.isValid() ? monthsFrom(first, date) : -1;
        return index >= 0 && index < months ? &figures[index] : nullptr;
    };

    for (const ShopAnimal& animal : animals) {
        const Dated dated = datesOf(animal);
        if (MonthFigures* month = monthOf(dated.purchased))
            ++month->bought;
        if (MonthFigures* month = monthOf(dated.left)) {
            if (!dated.sold) {
                ++month->left;
            } else {
                ++month->sold;
                month->revenue += dated.price.value_or(0);
                if (dated.price && dated.cost) {
                    month->cost += *dated.cost;
                    month->margin += *dated.price - *dated.cost;
                } else {
                    ++month->marginLeftOut;
                }
                if (dated.purchased.isValid() && dated.purchased <= dated.left) {
                    const int index = monthsFrom(first, dated.left);
                    daysSold[index] += dated.purchased.daysTo(dated.left);
                    ++salesTimed[index];
                }
            }
        }
        if (!dated.purchased.isValid() || dated.leftUnread)
            continue;
        for (MonthFigures& month : figures) {
            const QDate end = month.month.addMonths(1).addDays(-1);
            if (dated.purchased <= end && (!dated.left.isValid() || dated.left > end))
                ++month.stockAtEnd;
        }
    }
    for (int index = 0; index < months; ++index) {
        if (salesTimed[index] > 0)
            figures[index].averageDaysInStock = double(daysSold[index]) / salesTimed[index];
    }
    return figures;
}

int CareFigures::overdue() const
{
    return int(std::count_if(due.cbegin(), due.cend(), [](const CareDue& item) { return item.overdue; }));
}

std::optional<HistoryLine> readHistoryLine(const QString& line)
{
    // The day first, in any way readShopDate reads one, with or without a space after it.
    static const QRegularExpression dayFirst(QStringLiteral(
        "^(\\S*?[0-9元]+年[0-9]{1,2}月[0-9]{1,2}日|\\S*?[0-9]+[/.\\-][0-9]{1,2}[/.\\-][0-9]{1,2}(?![0-9]))"
        "\\s*(.*)$"));
    const QString folded = line.normalized(QString::NormalizationForm_KC).trimmed();
    const QRegularExpressionMatch match = dayFirst.match(folded);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate given = readShopDate(match.captured(1));
    if (!given.isValid())
        return std::nullopt;
    return HistoryLine{given, match.captured(2)};
}

CareFigures careDue(const QList<ShopAnimal>& animals, const QList<CarePlan>& plans, const QDate& today)
{
    // A line names the longest medication it holds: 混合ワクチン before ワクチン.
    QList<CarePlan> longestFirst = plans;
    std::stable_sort(longestFirst.begin(), longestFirst.end(), [](const CarePlan& a, const CarePlan& b) {
        return a.medication.size() > b.medication.size();
    });
    CareFigures figures;
    for (const ShopAnimal& animal : animals) {
        if (!animal.inStock())
            continue;
        const PetRecord& chart = *animal.chart;
        QMap<QString, QList<QDate>> given;
        for (const QString& line :
             {tableText(chart.Medication1), tableText(chart.Medication2), tableText(chart.Medication3),
              tableText(chart.Medication4), tableText(chart.Medication5)}) {
            if (line.trimmed().isEmpty())
                continue;
            const std::optional<HistoryLine> read = readHistoryLine(line);
            if (!read) {
                figures.unreadable.append({animal.number, animal.kind, line.trimmed()});
                continue;
            }
            for (const CarePlan& plan : longestFirst) {
                if (read->rest.contains(plan.medication.normalized(QString::NormalizationForm_KC))) {
                    given[plan.medication].append(read->given);
                    break;
                }
            }
        }
        const QDate birth = birthOf(chart);
        for (const CarePlan& plan : plans) {
            const QList<QDate> doses = given.value(plan.medication);
            if (plan.doses && doses.size() >= *plan.doses)
                continue;
            CareDue item{animal.number, animal.kind, plan.medication, QDate(), false, QString()};
            if (!doses.isEmpty() && plan.intervalDays) {
                const QDate last = *std::max_element(doses.cbegin(), doses.cend());
                item.due = last.addDays(*plan.intervalDays);
                item.basis = QStringLiteral("前回 %1 から %2 日").arg(dateText(last)).arg(*plan.intervalDays);
            } else if (doses.isEmpty() && plan.firstAgeDays && birth.isValid()) {
                item.due = birth.addDays(*plan.firstAgeDays);
                item.basis = QStringLiteral("生後 %1 日").arg(*plan.firstAgeDays);
            }
            if (!item.due.isValid() || item.due > today)
                continue;
            item.overdue = item.due < today;
            figures.due.append(item);
        }
    }
    std::stable_sort(figures.due.begin(), figures.due.end(),
                     [](const CareDue& a, const CareDue& b) { return a.due < b.due; });
    return figures;
}
