#include "sale/YearlyCount.h"

#include "sale/ShopAnimals.h"
#include "store/DateText.h"
#include "store/DisplayText.h"

#include <numeric>

namespace {

// April is month 0.
int monthIndex(const QDate& date)
{
    return (date.month() + 8) % 12;
}

KindCount::Left category(const AnimalOutcome& outcome)
{
    if (!outcome.leaving)
        return KindCount::Sold;
    return outcome.leaving->kind == LeaveKind::Died ? KindCount::Died : KindCount::HandedOver;
}

// Counts one dog or cat held at some time from `start` to `end`; one whose dates do not say whether it
// was is listed instead, and so makes the report disagree.
void count(const ShopAnimal& animal, const QDate& start, const QDate& end, KindCount& counts,
           QList<CountProblem>& problems)
{
    const auto problem = [&](const QString& reason) {
        problems.append({animal.number, animal.kind, reason});
    };
    const QDate purchased = animal.purchasedOn;
    if (!purchased.isValid()) {
        problem(animal.purchased.trimmed().isEmpty()
                    ? QStringLiteral("所有した日（仕入日）がありません（自家繁殖なら仕入先を「自家繁殖」に）")
                    : QStringLiteral("仕入日が日付として読めません：%1").arg(animal.purchased.trimmed()));
        return;
    }
    const QDate left = animal.leftOn();
    const bool recordedLeaving = animal.outcome && animal.outcome->hasLeft();
    // A chart deleted while its animal was in stock says neither when nor how the animal left.
    if (animal.cleared && !recordedLeaving) {
        const QDate deleted = animal.outcome->deletedOn;
        if (purchased <= end && (!deleted.isValid() || deleted >= start))
            problem(QStringLiteral("在庫のままカルテを削除しました（店を離れた日と区分が分かりません）"));
        return;
    }
    if (left.isValid() && left < purchased) {
        problem(QStringLiteral("所有した日 %1 より前に販売・死亡・譲渡の日 %2 があります")
                    .arg(dateText(purchased), dateText(left)));
        return;
    }
    const KindCount::Left leftAs = recordedLeaving ? category(*animal.outcome) : KindCount::Sold;
    if (purchased < start && (!left.isValid() || left >= start))
        ++counts.heldAtStart;
    if (purchased >= start && purchased <= end)
        ++counts.added[std::size_t(monthIndex(purchased))];
    if (left.isValid() && left >= start && left <= end)
        ++counts.left[leftAs][std::size_t(monthIndex(left))];
    if (purchased <= end && (!left.isValid() || left > end))
        ++counts.heldAtEnd;
}

// Whether the animal may have been in the shop in the period, as far as its dates tell.
bool mayHaveBeenHeld(const ShopAnimal& animal, const QDate& start, const QDate& end)
{
    if (animal.purchasedOn.isValid() && animal.purchasedOn > end)
        return false;
    const QDate left = animal.leftOn();
    return !left.isValid() || left >= start;
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
    YearlyCount result;
    result.fiscalYear = fiscalYear;
    const QDate start(fiscalYear, 4, 1);
    const QDate end(fiscalYear + 1, 3, 31);
    for (const ShopAnimal& animal : shopAnimals(records, outcomes, species)) {
        if (animal.species == Species::Dog)
            count(animal, start, end, result.dogs, result.problems);
        else if (animal.species == Species::Cat)
            count(animal, start, end, result.cats, result.problems);
        else if (animal.species == Species::Unset && mayHaveBeenHeld(animal, start, end))
            result.problems.append(
                {animal.number, animal.kind,
                 QStringLiteral("種別が未設定です（品種情報で犬・猫・その他を決めてください）")});
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
