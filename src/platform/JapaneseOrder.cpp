#include "platform/JapaneseOrder.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

QStringList sortedJapanese(QStringList items)
{
    static const QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
    std::stable_sort(items.begin(), items.end(),
                     [](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return items;
}
