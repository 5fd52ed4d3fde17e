#pragma once

#include "app/ScreenWindow.h"

class QLabel;
class QPushButton;

// Form1: the start screen, the hub from which the user goes to the charts, the master data or help.
class StartScreen : public ScreenWindow
{
    Q_OBJECT
public:
    explicit StartScreen(ScreenContext& context);

    void load() override;

private:
    void buildLayout();
    void goToCharts();
    void goToMasterData();
    void openHelp();

    QLabel* Label3;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
};
