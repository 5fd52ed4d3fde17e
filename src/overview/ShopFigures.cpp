#include "overview/ShopFigures.h"

#include "store/DateText.h"
#include "store/DisplayText.h"
#include "store/FreeText.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <numeric>

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
    bool sold = false;
    std::optional<qint64> price;
    std::optional<qint64> cost;
};

Dated datesOf(const ShopAnimal& animal)
{
    Dated dated;
    dated.purchased = animal.purchasedOn;
    dated.left = animal.leftOn();
    if (animal.outcome && animal.outcome->hasLeft()) {
        dated.sold = animal.outcome->sale.has_value();
        if (dated.sold)
            dated.price = animal.outcome->sale->price;
    } else {
        dated.sold = dated.left.isValid();
    }
    // A chart deleted while in stock is in the shop no more from that day, sold or not.
    if (!dated.left.isValid() && animal.cleared)
        dated.left = animal.outcome->deletedOn;
    // A cleared chart's cost was kept with its stay.
    if (dated.sold)
        dated.cost =
            readPrice(animal.chart != nullptr ? tableText(animal.chart->PurchaseCost) : animal.outcome->cost);
    return dated;
}

// A history line as the care list needs it: whether its day reads, the day, and the plan whose
// medication it names (-1 for none).
struct LineReading
{
    bool readable = false;
    QDate given;
    int plan = -1;
};

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
        row.daysInStock = daysSince(animal.purchasedOn, today);
        row.plannedPrice = tableText(animal.chart->PlannedPrice);
        row.pastAge = row.ageDays && *row.ageDays > limits.ageDays;
        row.pastStock = row.daysInStock && *row.daysInStock > limits.stockDays;
        figures.animals.append(row);
        ++(animal.species == Species::Dog     ? figures.dogs
           : animal.species == Species::Cat   ? figures.cats
           : animal.species == Species::Other ? figures.others
                                              : figures.undecided);
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
                if (!dated.price)
                    ++month->soldUnpriced;
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
        if (!dated.purchased.isValid())
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
    QList<int> longestFirst(plans.size());
    std::iota(longestFirst.begin(), longestFirst.end(), 0);
    std::stable_sort(longestFirst.begin(), longestFirst.end(),
                     [&](int a, int b) { return plans[a].medication.size() > plans[b].medication.size(); });
    QStringList folded;
    for (const CarePlan& plan : plans)
        folded.append(plan.medication.normalized(QString::NormalizationForm_KC));
    const auto readingOf = [&](const QString& line) {
        LineReading reading;
        const std::optional<HistoryLine> read = readHistoryLine(line);
        if (!read)
            return reading;
        reading.readable = true;
        reading.given = read->given;
        for (int plan : longestFirst) {
            if (read->rest.contains(folded[plan])) {
                reading.plan = plan;
                break;
            }
        }
        return reading;
    };

    // For each plan, the plans that replace it: an animal given one of them is not due it.
    QList<QList<int>> replacedBy(plans.size());
    for (int index = 0; index < plans.size(); ++index) {
        for (int other = 0; other < plans.size(); ++other) {
            if (other != index && plans[other].replaces.contains(plans[index].medication))
                replacedBy[index].append(other);
        }
    }

    CareFigures figures;
    // The same line stands on many charts (a litter treated on one day): each is read once.
    QHash<QString, LineReading> lines;
    QList<int> doses(plans.size());
    QList<QDate> last(plans.size());
    for (const ShopAnimal& animal : animals) {
        if (!animal.inStock())
            continue;
        const PetRecord& chart = *animal.chart;
        doses.fill(0);
        last.fill(QDate());
        for (const TextField<50>* field : {&chart.Medication1, &chart.Medication2, &chart.Medication3,
                                           &chart.Medication4, &chart.Medication5}) {
            const QString line = tableText(*field).trimmed();
            if (line.isEmpty())
                continue;
            auto known = lines.constFind(line);
            if (known == lines.cend())
                known = lines.insert(line, readingOf(line));
            if (!known->readable) {
                figures.unreadable.append({animal.number, animal.kind, line});
            } else if (known->plan >= 0) {
                ++doses[known->plan];
                last[known->plan] = std::max(last[known->plan], known->given);
            }
        }
        const QDate birth = birthOf(chart);
        for (int index = 0; index < plans.size(); ++index) {
            const CarePlan& plan = plans[index];
            if (!careApplies(plan.animals, animal.species) || (plan.doses && doses[index] >= *plan.doses))
                continue;
            if (std::any_of(replacedBy[index].cbegin(), replacedBy[index].cend(),
                            [&](int other) { return doses[other] > 0; }))
                continue;
            CareDue item{animal.number, animal.kind, plan.medication, QDate(), false, QString()};
            if (doses[index] > 0 && plan.intervalDays) {
                item.due = last[index].addDays(*plan.intervalDays);
                // Put together by hand: thousands of lines on a full file.
                item.basis = QStringLiteral("前回 ") + dateText(last[index]) + QStringLiteral(" から ") +
                             QString::number(*plan.intervalDays) + QStringLiteral(" 日");
            } else if (doses[index] == 0 && plan.firstAgeDays && birth.isValid()) {
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
