#include "app/StartupRecovery.h"

#include "backup/RestoreJournal.h"
#include "store/RecordFile.h"
#include "store/ShopDatabase.h"
#include "widgets/FailureReport.h"
#include "widgets/MessageBoxes.h"

#include <QDir>

void settleChartChanges(ShopDatabase& database, MessageBoxes& messages)
{
    const std::optional<QString> failure = failureOf([&] {
        // A shop that never recorded a sale has no database, and none is made for it here.
        if (!database.exists())
            return;
        AnimalOutcomes& outcomes = database.outcomes();
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
