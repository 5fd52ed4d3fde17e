#pragma once

#include "sale/ShopAnimals.h"
#include "store/CarePlans.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// One animal in stock as the overview lists it.
struct StockAnimal
{
    qint32 number = 0;
    QString kind;
    Species species = Species::Unset;
    QString sex;
    std::optional<int> ageDays;     // from the birth date; none when there is none
    std::optional<int> daysInStock; // from 仕入日; none when it does not read
    QString plannedPrice;
    bool pastAge = false;
    bool pastStock = false;
};

struct StockFigures
{
    QList<StockAnimal> animals; // by record number
    int dogs = 0;
    int cats = 0;
    int others = 0;
    int undecided = 0; // kinds whose species is 未設定
    QMap<QString, int> byKind;
};

// The animals in stock on `today`: a chart not sold and not gone.
StockFigures stockNow(const QList<ShopAnimal>& animals, const QDate& today, const StockLimits& limits);

// What happened in one calendar month.
struct MonthFigures
{
    QDate month; // its first day
    int bought = 0;
    int sold = 0;
    int left = 0; // died, handed over or returned
    qint64 revenue = 0;
    int soldUnpriced = 0; // sales without a selling price: in `sold`, not in `revenue`
    // Of the sales with a selling price and a 仕入原価 that reads as an amount; the others are counted
    // in marginLeftOut.
    qint64 cost = 0;
    qint64 margin = 0;
    int marginLeftOut = 0;
    std::optional<double> averageDaysInStock; // of those sold
    int stockAtEnd = 0;
};

// `months` months from the one of `firstMonth` on, oldest first. An animal whose dates do not read
// is left out of what needs them.
QList<MonthFigures> monthFigures(const QList<ShopAnimal>& animals, const QDate& firstMonth, int months);

// A care item due today or before.
struct CareDue
{
    qint32 number = 0;
    QString kind;
    QString medication;
    QDate due;
    bool overdue = false;
    QString basis; // what the date was worked out from
};

// A history line whose date does not read.
struct UnreadableLine
{
    qint32 number = 0;
    QString kind;
    QString line;
};

struct CareFigures
{
    QList<CareDue> due; // by date due, then chart
    QList<UnreadableLine> unreadable;
    int overdue() const;
};

// A medication history line: the day and what follows it ("2026年11月2日   混合ワクチン   済み",
// "R8.11.2 混合ワクチン"). Nothing when the line does not start with a day that reads.
struct HistoryLine
{
    QDate given;
    QString rest;
};
std::optional<HistoryLine> readHistoryLine(const QString& line);

// For every animal in stock and every plan for its species (only those for every animal when its kind
// has no species saved), unless it was given a plan that replaces this one: the last history line naming the
// medication plus the interval, or the birth date plus the first-dose age while none names it, unless the
// doses are all given. Only what is due on `today` or before.
CareFigures careDue(const QList<ShopAnimal>& animals, const QList<CarePlan>& plans, const QDate& today);
