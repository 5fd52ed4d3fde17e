#pragma once

#include "platform/RunningHandlers.h"
#include "store/Failure.h"
#include "widgets/MessageBoxes.h"

#include <optional>

class QWidget;

// Shows a failure's description in a box titled "ソラニカ".
void showFailure(MessageBoxes& messages, QWidget* parent, const QString& description);

// After a save that failed while the user closed a window: whether to close it all the same and
// give up what was typed (OK), or stay (Cancel, the default).
bool confirmDiscard(MessageBoxes& messages, QWidget* parent);

// Runs one event's steps; the description of the failure that stopped them, or nothing when they ran
// to their end.
template <typename Steps> std::optional<QString> failureOf(Steps&& steps)
{
    try {
        steps();
        return std::nullopt;
    } catch (const Failure& failure) {
        return failure.description();
    } catch (const std::exception&) {
        return QStringLiteral("予期しないエラーが発生しました。");
    }
}

// Runs one event's steps; a failure stops them and is shown to the user, and the program goes on.
// Returns false when the steps failed.
template <typename Steps> bool reportFailures(MessageBoxes& messages, QWidget* parent, Steps&& steps)
{
    const HandlerScope running;
    const std::optional<QString> failure = failureOf(std::forward<Steps>(steps));
    if (failure)
        showFailure(messages, parent, *failure);
    return !failure;
}
