#pragma once

#include "platform/MessageBoxes.h"
#include "store/Failure.h"

class QWidget;

// Shows a failure's description in a box titled "ソラニカ".
void showFailure(MessageBoxes& messages, QWidget* parent, const QString& description);

// Runs one event's steps; a failure stops them and is shown to the user, and the program goes on.
// Returns false when the steps failed.
template <typename Steps> bool reportFailures(MessageBoxes& messages, QWidget* parent, Steps&& steps)
{
    try {
        steps();
        return true;
    } catch (const Failure& failure) {
        showFailure(messages, parent, failure.description());
    } catch (const std::exception&) {
        showFailure(messages, parent, QStringLiteral("予期しないエラーが発生しました。"));
    }
    return false;
}
