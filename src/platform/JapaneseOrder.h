#pragma once

#include <QStringList>

// `items` in ascending Japanese collation, the order of the shop's sorted lists and combos. Equal
// texts keep the order they came in, as when each is added to a sorted list in turn.
QStringList sortedJapanese(QStringList items);
