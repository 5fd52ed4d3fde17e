#pragma once

#include "chartlist/ChartRows.h"

#include <QString>

// How the shop last left the chart list: the search, the status choice and the sort. Kept by the
// program while it runs, so the list opens again as it was closed.
struct ChartListView
{
    QString search;
    int status = 0; // ChartListFilter::Status
    int sortColumn = ChartRow::Number;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
};
