#pragma once

#include "store/AnimalOutcomes.h"
#include "store/PetRecord.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

// The dogs or the cats of one fiscal year (April to March), counted for the yearly report.
struct KindCount
{
    enum Left { Sold, HandedOver, Died, LeftKinds };

    int heldAtStart = 0;                               // on 4/1
    std::array<int, 12> added{};                       // newly owned, April first
    std::array<std::array<int, 12>, LeftKinds> left{}; // by category, April first
    int heldAtEnd = 0;                                 // on 3/31

    int addedTotal() const;
    int leftTotal(Left kind) const;
    int leftTotal() const;
    // What is left over of 4/1 + new − left − 3/31; 0 when the numbers agree.
    int difference() const { return heldAtStart + addedTotal() - leftTotal() - heldAtEnd; }
};

// A chart the count could not take as it is, and why.
struct CountProblem
{
    qint32 number = 0; // 0 for an animal whose chart was cleared
    QString kind;
    QString reason;
};

struct YearlyCount
{
    int fiscalYear = 0; // the year of its April
    KindCount dogs;
    KindCount cats;
    QList<CountProblem> problems;

    // 一致 only when the numbers agree and every animal could be counted.
    bool agrees() const { return problems.isEmpty() && dogs.difference() == 0 && cats.difference() == 0; }
};

// Counts every stay of a dog or cat (charts with record number = index + 1, earlier stays and those of
// cleared charts). An animal that cannot be counted is left out of the numbers and listed with why: no
// 所有した日, a date that does not read, a departure before it came, or a kind whose species is 未設定.
YearlyCount countYear(int fiscalYear, const std::vector<PetRecord>& records,
                      const QList<AnimalOutcome>& outcomes, const QMap<QString, Species>& species);

// The report as rows of a table: one block per kind with the row and column headings.
QList<QStringList> yearlyReportRows(const YearlyCount& count);
