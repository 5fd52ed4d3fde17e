#include "backup/ui/BackupMenu.h"

#include "app/Notices.h"
#include "app/ScreenContext.h"
#include "app/ShownChart.h"
#include "backup/BackupService.h"
#include "platform/WaitCursor.h"
#include "widgets/FailureReport.h"
#include "widgets/FileDialogs.h"

BackupMenu::BackupMenu(ScreenContext& context, ShownChart& chart, QObject* parent)
    : QObject(parent), actBackup(menuAction(this, "actBackup", QStringLiteral("バックアップを作成(&B)..."),
                                            &BackupMenu::makeBackup)),
      actRestore(menuAction(this, "actRestore", QStringLiteral("バックアップから復元(&R)..."),
                            &BackupMenu::restoreBackup)),
      context(context), chart(chart)
{
}

void BackupMenu::makeBackup()
{
    if (!chart.applyTypedRecordNumber())
        return;
    QWidget* const window = chart.chartWindow();
    const QString path = context.files.saveForOtherPrograms(window, QStringLiteral("バックアップを作成"),
                                                            context.backups.suggestedFileName(),
                                                            QStringLiteral("バックアップ (*.zip)"));
    if (path.isEmpty())
        return;
    const WaitCursor waiting;
    QString leftOut;
    if (!reportFailures(context.messages, window, [&] { leftOut = context.backups.createBackup(path); }))
        return;
    chart.showWritten(Notices::BackupCreated, path);
    if (!leftOut.isEmpty())
        showFailure(context.messages, window, leftOut);
}

void BackupMenu::restoreBackup()
{
    if (!chart.applyTypedRecordNumber())
        return;
    QWidget* const window = chart.chartWindow();
    const QString path =
        context.files.openFileName(window, QStringLiteral("バックアップから復元"),
                                   context.backups.backupFolder(), QStringLiteral("バックアップ (*.zip)"));
    if (path.isEmpty())
        return;
    bool restored = false;
    reportFailures(context.messages, window, [&] {
        // Everything is checked before anything changes; the user then sees what the backup holds.
        const BackupContents contents = context.backups.open(path);
        if (context.messages.ask(window, BackupService::restoreQuestion(contents),
                                 QStringLiteral("バックアップから復元"), MessageBoxes::Buttons::OkCancel,
                                 MessageBoxes::Icon::Warning,
                                 MessageBoxes::Answer::Cancel) != MessageBoxes::Answer::Ok)
            return;
        {
            const WaitCursor waiting;
            context.backups.restore(contents);
        }
        // The chart starts again from record 1 with the shop lines read anew.
        chart.showChart(1);
        chart.showShopLines();
        restored = true;
    });
    if (restored) {
        chart.showWritten(Notices::BackupRestored, path);
        chart.shopDataChanged();
    }
}
