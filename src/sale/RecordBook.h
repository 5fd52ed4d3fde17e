#pragma once

#include "store/AnimalOutcomes.h"
#include "store/SaleStore.h"
#include "widgets/TablePages.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QStringList>

#include <vector>

class QPagedPaintDevice;

// The record book a dealer keeps of every dog and cat: one row per animal with the items the law
// lists, empty where the shop recorded nothing.
struct RecordBook
{
    QDate from;
    QDate to;
    QList<QStringList> rows;
    // Per column, how many animals lack an item they should have.
    QMap<int, int> missing;
};

const QStringList& recordBookColumns();

// Every dog and cat of the charts and of the rows of cleared charts that the shop owned at any time
// from `from` to `to`. An animal whose dates do not read is kept in the book rather than dropped.
RecordBook makeRecordBook(const QDate& from, const QDate& to, const std::vector<PetRecord>& records,
                          const QList<AnimalOutcome>& outcomes, const QMap<qint32, ChartSale>& chartSales,
                          const QMap<QString, Species>& species);

// What the user is told before the book is written: how many animals, and which items are missing.
QString recordBookSummary(const RecordBook& book);

// A4 landscape pages, each headed with the book's title, period and column headings and footed
// with 「n / N ページ」; `more` tables follow on pages of their own.
void paintRecordBook(const RecordBook& book, QPagedPaintDevice& device, const QList<PrintedTable>& more = {});

// Until when the record book keeps the animal of a chart deleted `today`: five years after it left the
// shop, or after today while it is in stock; invalid for an animal that is not (or may not be) a dog or
// cat, or that left more than five years ago. Deleting such a chart is asked first.
QDate keptAfterDeletion(const PetRecord& record, const std::optional<AnimalOutcome>& outcome, Species species,
                        const QDate& today);
