#pragma once

#include "store/PetRecord.h"
#include "store/SaleStore.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <vector>

class RecordFile;

// One line of the sales ledger: a chart with a sale date or a buyer.
struct LedgerRow
{
    qint32 number = 0;
    QString kind;
    QString sex;
    QString birthDate;
    QString microchip;
    QString saleDate;
    QString buyerName;
    QString buyerAddress;
    QString buyerPhone;
    QString explainedOn;
    // The sale information was entered for another animal than the chart holds now.
    bool otherAnimal = false;

    // The values in the order of SalesLedger::header().
    QStringList columns() const;
    friend bool operator==(const LedgerRow&, const LedgerRow&) = default;
};

namespace SalesLedger {

// The column names, in order.
QStringList header();

// The columns the program writes as numbers (the chart number).
QList<int> numberColumns();

// Every chart whose sale date is not blank or that has a buyer, in record-number order. `records[i]`
// is record i + 1; sale information of a chart past the end of `records` belongs to an empty record.
// Texts are shown as the chart screen shows them, without their padding.
QList<LedgerRow> rows(const std::vector<PetRecord>& records, const QMap<qint32, ChartSale>& sales);

// The ledger of the shop's files: the record file read once, the store once.
QList<LedgerRow> load(const RecordFile& records, const SaleStore& store);

// Whether to write a ledger whose sale information of some charts was entered for another animal;
// empty when every row belongs to its chart.
QString mismatchQuestion(const QList<LedgerRow>& rows);

// The header row and the rows as texts, for Csv::document and Csv::save.
QList<QStringList> table(const QList<LedgerRow>& rows);

} // namespace SalesLedger
