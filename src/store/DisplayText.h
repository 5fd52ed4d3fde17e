#pragma once

#include "store/Numbers.h"
#include "store/PetRecord.h"

#include <QDate>
#include <QString>

#include <algorithm>
#include <type_traits>

// How lists, exports and printed sheets show a chart's values.

// The text without the spaces that pad it at the end.
QString withoutTrailingSpaces(const QString& text);

// A field as the chart screen shows it (up to the first zero byte), without its padding.
template <std::size_t N> QString tableText(const TextField<N>& field)
{
    // A field never typed in (zeros) or emptied (spaces) needs no decoding: lists read thousands.
    if (field[0] == '\0' || std::all_of(field.cbegin(), field.cend(), [](char byte) { return byte == ' '; }))
        return {};
    return withoutTrailingSpaces(shownText(field));
}

// A field as the chart screen and the editor show it: a text up to its first zero byte, a date part or a
// weight as a number. The field is named by its member, so that a screen's table of controls can hold it.
template <auto Field> QString shownField(const PetRecord& record)
{
    using Value = std::remove_cvref_t<decltype(record.*Field)>;
    if constexpr (std::is_same_v<Value, float>)
        return Numbers::formatFloat(numberField<Field>(record));
    else if constexpr (std::is_same_v<Value, qint16>)
        return Numbers::formatInteger(numberField<Field>(record));
    else
        return shownText(record.*Field);
}

// yyyy/M/d from the three numbers, empty when the year is 0.
QString birthDateText(const PetRecord& record);

// yyyy/M/d, empty for a date that was never entered.
QString dateText(const QDate& date);
