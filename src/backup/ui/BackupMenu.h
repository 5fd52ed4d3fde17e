#pragma once

#include <QObject>

class QAction;
class ShownChart;
struct ScreenContext;

// The file menu's commands that write a backup of the shop's data and restore one.
class BackupMenu : public QObject
{
    Q_OBJECT
public:
    BackupMenu(ScreenContext& context, ShownChart& chart, QObject* parent);

    QAction* const actBackup;
    QAction* const actRestore;

private:
    void makeBackup();
    void restoreBackup();

    ScreenContext& context;
    ShownChart& chart;
};
