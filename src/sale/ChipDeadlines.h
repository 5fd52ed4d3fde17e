#pragma once

#include "sale/ShopAnimals.h"
#include "store/SaleStore.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// The days a dealer's microchip duties for one dog or cat are counted from.
struct ChipDates
{
    QDate born;
    QDate acquired; // 所有した日; the birth day for an animal born in the shop
    QDate implanted;
    QDate registered;
    QDate handedOver; // invalid while the animal is in the shop
};

enum class ChipStep { Implant, Register };

struct ChipDeadline
{
    ChipStep step = ChipStep::Implant;
    QDate due; // the last day
    friend bool operator==(const ChipDeadline&, const ChipDeadline&) = default;
};

// The duty still open and its last day. A dealer implants a chip within 30 days of acquiring the
// animal, counted for one acquired younger than 90 days from the day it is 90 days old, and
// registers it within 30 days of implanting; both by the hand-over day at the latest. Without a day of
// acquiring that reads, the birth day stands in for it (the earliest the duty can fall). Nothing for an
// animal acquired before the duty began (2022/6/1), one whose days do not read, or one with both done.
std::optional<ChipDeadline> chipDeadline(const ChipDates& dates);

// A dog or cat (or a kind not yet decided) in the shop whose chip duty is past or falls within the
// next seven days.
struct ChipNotice
{
    qint32 number = 0;
    QString kind;
    ChipDeadline deadline;
    qint64 daysLeft = 0; // below 0 once past
};

inline constexpr int ChipNoticeDays = 7;

// For every dog, cat and undecided kind in stock, by last day then chart.
QList<ChipNotice> chipNotices(const QList<ShopAnimal>& animals, const QMap<qint32, ChartSale>& chartSales,
                              const QDate& today);

// 「カルテ 3 番 柴犬：マイクロチップの装着 2026/12/10 まで（あと 3 日）」
QString chipNoticeText(const ChipNotice& notice);
