#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A table as a CSV file that the spreadsheet programs of Japanese offices open directly: UTF-8 with a
// byte-order mark, CRLF line ends, a heading row, values quoted where they hold a comma, a double
// quote or a line break.
QByteArray csvBytes(const QStringList& headings, const QList<QStringList>& rows);

// Writes the table to `path` through a file beside it that replaces it only when complete, so a
// failed write leaves no half file; a failure naming the file otherwise.
void writeCsvFile(const QString& path, const QStringList& headings, const QList<QStringList>& rows);
