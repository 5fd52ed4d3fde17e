#pragma once

#include "store/PetRecord.h"

#include <QDate>
#include <QString>

// How lists, exports and printed sheets show a chart's values.

// The text without the spaces that pad it at the end.
QString withoutTrailingSpaces(const QString& text);

// A field as the chart screen shows it (up to the first zero byte), without its padding.
template <std::size_t N> QString tableText(const TextField<N>& field)
{
    return withoutTrailingSpaces(shownText(field));
}

// yyyy/M/d from the three numbers, empty when the year is 0.
QString birthDateText(const PetRecord& record);

// yyyy/M/d, empty for a date that was never entered.
QString dateText(const QDate& date);
