#include "app/StartupRecovery.h"

#include "backup/RestoreJournal.h"
#include "platform/FailureReport.h"
#include "platform/MessageBoxes.h"

#include <QDir>

bool recoverInterruptedRestore(MessageBoxes& messages)
{
    const std::optional<QString> failure = failureOf([&] {
        const QString done = RestoreJournal::finishInterruptedRestore(QDir(QDir::currentPath()));
        if (!done.isEmpty())
            messages.ask(nullptr, done, QStringLiteral("ソラニカ"), MessageBoxes::Buttons::Ok,
                         MessageBoxes::Icon::None);
    });
    if (failure)
        showFailure(messages, nullptr, *failure);
    return !failure;
}
