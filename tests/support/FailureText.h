#pragma once

#include "widgets/FailureReport.h"

#include <QString>

#include <utility>

// The description of the failure `steps` end with, or the empty string when they run to their end.
template <typename Steps> QString failureText(Steps&& steps)
{
    return failureOf(std::forward<Steps>(steps)).value_or(QString());
}
