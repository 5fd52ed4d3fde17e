#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The CSV the program hands to spreadsheets: UTF-8 with a byte-order mark (so the spreadsheet
// programs Japanese offices use open it as UTF-8), CR LF after every row, and a value quoted when
// it holds a comma, a double quote or a line break, its quotes doubled.
namespace Csv {

// One value as it stands in a row.
QString field(const QString& value);

// The whole file: `rows` in order, the header row being the first of them.
QByteArray document(const QList<QStringList>& rows);

// Writes `document(rows)` to `fileName` beside it and renames it over, so a failed write leaves no
// half file (and an older file as it was).
void save(const QString& fileName, const QList<QStringList>& rows);

} // namespace Csv
