#pragma once

#include <QString>
#include <QStringList>

// Where `item` goes in `items`, a list kept in ascending order by the Japanese collation (the order
// of the shop's sorted lists and combos): after every item that sorts before it or equal to it, so
// equal texts stay in the order they were added.
int sortedInsertPosition(const QStringList& items, const QString& item);
