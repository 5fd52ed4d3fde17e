#include "sale/ChipDeadlines.h"

#include "store/DisplayText.h"

#include <algorithm>

namespace {

const QDate DutyBegan(2022, 6, 1);

QDate byHandOver(const QDate& due, const QDate& handedOver)
{
    return handedOver.isValid() && handedOver < due ? handedOver : due;
}

QDate birthOf(const PetRecord& record)
{
    return QDate(record.BirthYear, record.BirthMonth, record.BirthDay);
}

} // namespace

std::optional<ChipDeadline> chipDeadline(const ChipDates& dates)
{
    const QDate acquired = dates.acquired.isValid() ? dates.acquired : dates.born;
    if (!acquired.isValid() || acquired < DutyBegan)
        return std::nullopt;
    if (!dates.implanted.isValid()) {
        QDate from = acquired;
        if (dates.born.isValid() && from < dates.born.addDays(90))
            from = dates.born.addDays(90);
        return ChipDeadline{ChipStep::Implant, byHandOver(from.addDays(30), dates.handedOver)};
    }
    if (!dates.registered.isValid())
        return ChipDeadline{ChipStep::Register, byHandOver(dates.implanted.addDays(30), dates.handedOver)};
    return std::nullopt;
}

QList<ChipNotice> chipNotices(const QList<ShopAnimal>& animals, const QMap<qint32, ChartSale>& chartSales,
                              const QDate& today)
{
    QList<ChipNotice> notices;
    for (const ShopAnimal& animal : animals) {
        // An undecided kind may be a dog: its duty is shown until the shop says otherwise.
        if (!animal.inStock() || !mayBeDogOrCat(animal.species))
            continue;
        const ChartSale sale = chartSales.value(animal.number);
        // Dates entered for another animal that had this chart's number say nothing of this one.
        const bool own = sale.isFor(*animal.chart);
        const std::optional<ChipDeadline> deadline =
            chipDeadline({birthOf(*animal.chart), animal.purchasedOn, own ? sale.chipImplanted : QDate(),
                          own ? sale.chipRegistered : QDate(), QDate()});
        if (!deadline)
            continue;
        const qint64 daysLeft = today.daysTo(deadline->due);
        if (daysLeft <= ChipNoticeDays)
            notices.append({animal.number, animal.kind, *deadline, daysLeft});
    }
    std::stable_sort(notices.begin(), notices.end(), [](const ChipNotice& a, const ChipNotice& b) {
        return a.deadline.due < b.deadline.due;
    });
    return notices;
}

QString chipNoticeText(const ChipNotice& notice)
{
    const QString step = notice.deadline.step == ChipStep::Implant ? QStringLiteral("マイクロチップの装着")
                                                                   : QStringLiteral("マイクロチップの登録");
    const QString left = notice.daysLeft < 0 ? QStringLiteral("%1 日過ぎています").arg(-notice.daysLeft)
                         : notice.daysLeft == 0 ? QStringLiteral("今日まで")
                                                : QStringLiteral("あと %1 日").arg(notice.daysLeft);
    // Put together by hand: a full shop shows tens of thousands of these.
    return QStringLiteral("カルテ ") + QString::number(notice.number) + QStringLiteral(" 番 ") + notice.kind +
           QStringLiteral("：") + step + QLatin1Char(' ') + dateText(notice.deadline.due) +
           QStringLiteral(" まで（") + left + QStringLiteral("）");
}
