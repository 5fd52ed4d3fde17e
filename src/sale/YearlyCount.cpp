#include "sale/YearlyCount.h"

#include "sale/ShopAnimals.h"
#include "store/DisplayText.h"
#include "store/DateText.h"

#include <numeric>
#include <optional>

namespace {

// April is month 0.
int monthIndex(const QDate& date)
{
    return (date.month() + 8) % 12;
}

struct Animal
{
    qint32 number = 0;
    QString kind;
    Species species = Species::Other;
    QString purchased;
    // A departure recorded in the database, or the chart's own 販売日 text.
    std::optional<QDate> leftOn;
    KindCount::Left leftAs = KindCount::Sold;
    QString saleDateText;
};

KindCount::Left category(const AnimalOutcome& outcome)
{
    if (!outcome.leaving)
        return KindCount::Sold;
    return outcome.leaving->kind == LeaveKind::Died ? KindCount::Died : KindCount::HandedOver;
}

void applyOutcome(Animal& animal, const AnimalOutcome& outcome)
{
    if (outcome.leftShopOn().isValid()) {
        animal.leftOn = outcome.leftShopOn();
        animal.leftAs = category(outcome);
    }
}

void count(const Animal& animal, const QDate& start, const QDate& end, KindCount& counts,
           QList<CountProblem>& problems)
{
    const auto problem = [&](const QString& reason) {
        problems.append({animal.number, animal.kind, reason});
    };
    const QDate purchased = readShopDate(animal.purchased);
    if (!purchased.isValid()) {
        problem(animal.purchased.trimmed().isEmpty()
                    ? QStringLiteral("仕入日がありません")
                    : QStringLiteral("仕入日が日付として読めません：%1").arg(animal.purchased.trimmed()));
        return;
    }
    std::optional<QDate> left = animal.leftOn;
    if (!left && !animal.saleDateText.trimmed().isEmpty()) {
        left = readShopDate(animal.saleDateText);
        if (!left->isValid()) {
            problem(QStringLiteral("販売日が日付として読めません：%1").arg(animal.saleDateText.trimmed()));
            return;
        }
    }
    if (left && *left < purchased)
        problem(QStringLiteral("仕入日 %1 より前に販売・死亡・譲渡の日 %2 があります")
                    .arg(dateText(purchased), dateText(*left)));

    if (purchased < start && (!left || *left >= start))
        ++counts.heldAtStart;
    if (purchased >= start && purchased <= end)
        ++counts.added[std::size_t(monthIndex(purchased))];
    if (left && *left >= start && *left <= end)
        ++counts.left[animal.leftAs][std::size_t(monthIndex(*left))];
    if (purchased <= end && (!left || *left > end))
        ++counts.heldAtEnd;
}

} // namespace

int KindCount::addedTotal() const
{
    return std::accumulate(added.cbegin(), added.cend(), 0);
}

int KindCount::leftTotal(Left kind) const
{
    return std::accumulate(left[kind].cbegin(), left[kind].cend(), 0);
}

int KindCount::leftTotal() const
{
    return leftTotal(Sold) + leftTotal(HandedOver) + leftTotal(Died);
}

YearlyCount countYear(int fiscalYear, const std::vector<PetRecord>& records,
                      const QList<AnimalOutcome>& outcomes, const QMap<QString, Species>& species)
{
    QList<Animal> animals;
    for (const ShopAnimal& owned : shopAnimals(records, outcomes, species)) {
        Animal animal{owned.number, owned.kind,      owned.species, owned.purchased,
                      std::nullopt, KindCount::Sold, owned.saleDate};
        if (owned.outcome)
            applyOutcome(animal, *owned.outcome);
        animals.append(animal);
    }

    YearlyCount result;
    result.fiscalYear = fiscalYear;
    const QDate start(fiscalYear, 4, 1);
    const QDate end(fiscalYear + 1, 3, 31);
    for (const Animal& animal : animals) {
        if (animal.species == Species::Dog)
            count(animal, start, end, result.dogs, result.problems);
        else if (animal.species == Species::Cat)
            count(animal, start, end, result.cats, result.problems);
    }
    return result;
}

QList<QStringList> yearlyReportRows(const YearlyCount& count)
{
    QStringList heading{QString()};
    for (int month = 0; month < 12; ++month)
        heading.append(QStringLiteral("%1月").arg((month + 3) % 12 + 1));
    heading.append(QStringLiteral("合計"));

    const auto onlyTotal = [](const QString& title, int total) {
        QStringList row{title};
        for (int month = 0; month < 12; ++month)
            row.append(QString());
        row.append(QString::number(total));
        return row;
    };
    const auto byMonth = [](const QString& title, const std::array<int, 12>& months) {
        QStringList row{title};
        for (int number : months)
            row.append(QString::number(number));
        row.append(QString::number(std::accumulate(months.cbegin(), months.cend(), 0)));
        return row;
    };

    QList<QStringList> rows{
        {QStringLiteral("定期報告 %1年4月1日～%2年3月31日").arg(count.fiscalYear).arg(count.fiscalYear + 1)}};
    for (const auto& [name, kind] :
         {std::pair{QStringLiteral("犬"), &count.dogs}, std::pair{QStringLiteral("猫"), &count.cats}}) {
        rows.append(QStringList{name} + heading.mid(1));
        rows.append(onlyTotal(QStringLiteral("4/1 の所有数"), kind->heldAtStart));
        rows.append(byMonth(QStringLiteral("新たに所有"), kind->added));
        rows.append(byMonth(QStringLiteral("販売"), kind->left[KindCount::Sold]));
        rows.append(byMonth(QStringLiteral("譲渡・引渡し"), kind->left[KindCount::HandedOver]));
        rows.append(byMonth(QStringLiteral("死亡"), kind->left[KindCount::Died]));
        rows.append(onlyTotal(QStringLiteral("3/31 の所有数"), kind->heldAtEnd));
    }
    for (const CountProblem& problem : count.problems)
        rows.append({QStringLiteral("確認が必要"),
                     problem.number > 0 ? QStringLiteral("カルテ %1 番").arg(problem.number)
                                        : QStringLiteral("削除したカルテ"),
                     problem.kind, problem.reason});
    return rows;
}
