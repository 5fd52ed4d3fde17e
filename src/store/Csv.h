#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The CSV the program hands to spreadsheets: UTF-8 with a byte-order mark (so the spreadsheet
// programs Japanese offices use open it as UTF-8), CR LF after every row, and a value quoted when
// it holds a comma, a double quote or a line break, its quotes doubled.
//
// A spreadsheet runs a cell that starts with =, +, -, @, TAB or CR as a formula, so such a text cell
// gets a leading ' and is shown as typed. Only the cells the program writes as numbers itself (the
// `numberColumns` below the heading row, when they hold a whole number) are left as they are.
namespace Csv {

// The whole file: `rows` in order, the heading row being the first of them.
QByteArray document(const QList<QStringList>& rows, const QList<int>& numberColumns = {});

// Writes `document(rows, numberColumns)` to `fileName` beside it and renames it over, so a failed
// write leaves no half file (and an older file as it was). Readable by its owner only: the charts'
// microchip numbers and the ledger's buyers are nobody else's business.
void save(const QString& fileName, const QList<QStringList>& rows, const QList<int>& numberColumns = {});

} // namespace Csv
