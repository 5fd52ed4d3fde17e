#include "platform/SortedInsert.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

int sortedInsertPosition(const QStringList& items, const QString& item)
{
    static const QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
    const auto place =
        std::upper_bound(items.cbegin(), items.cend(), item,
                         [](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return int(place - items.cbegin());
}
