#include "app/StartupRecovery.h"

#include "backup/RestoreJournal.h"
#include "store/AnimalOutcomes.h"
#include "store/RecordFile.h"
#include "widgets/FailureReport.h"
#include "widgets/MessageBoxes.h"

#include <QDir>
#include <QFileInfo>

void settleChartChanges(MessageBoxes& messages)
{
    const std::optional<QString> failure = failureOf([&] {
        AnimalOutcomes outcomes;
        // A shop that never recorded a sale has no database, and none is made for it here.
        if (!QFileInfo::exists(outcomes.fileName()))
            return;
        RecordFile records;
        const QStringList undone = outcomes.settleUnfinished(records);
        outcomes.adoptTypedSaleDates(records);
        if (!undone.isEmpty())
            messages.ask(nullptr,
                         QStringLiteral("前回、「%1」の記録が途中で止まりました。カルテと販売の記録を、"
                                        "その前の状態に戻しました。")
                             .arg(undone.join(QStringLiteral("」「"))),
                         QStringLiteral("ソラニカ"), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::None);
    });
    if (failure)
        showFailure(messages, nullptr, *failure);
}

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
