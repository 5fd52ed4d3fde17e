#pragma once

#include "store/Sjis.h"

#include <algorithm>

template <std::size_t N> void setText(TextField<N>& field, const QString& text)
{
    const QByteArray bytes = Sjis::fitField(text, int(N));
    std::copy(bytes.cbegin(), bytes.cend(), field.begin());
}

template <std::size_t N> QString fieldText(const TextField<N>& field)
{
    return Sjis::fieldText(QByteArray(field.data(), int(N)));
}

template <std::size_t N> QString shownText(const TextField<N>& field)
{
    return Sjis::shownText(QByteArray(field.data(), int(N)));
}
