#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A small reader of RFC 4180 text, written apart from the program's writer: quoted values may hold
// commas, doubled quotes and line breaks.
QList<QStringList> readCsv(const QString& text);

// The rows of a CSV file's bytes after its UTF-8 byte-order mark (none when the mark is missing).
QList<QStringList> readCsvFile(const QByteArray& bytes);
