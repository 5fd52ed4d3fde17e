#include "app/StartScreen.h"

#include "app/HelpPage.h"
#include "app/ScreenRegistry.h"
#include "platform/Clock.h"
#include "widgets/Controls.h"
#include "widgets/FailureReport.h"
#include "widgets/Look.h"
#include "widgets/Twips.h"

#include <QLabel>
#include <QPushButton>

StartScreen::StartScreen(ScreenContext& context) : ScreenWindow(context)
{
    buildLayout();
    connect(Command1, &QPushButton::clicked, this, &StartScreen::goToCharts);
    connect(Command2, &QPushButton::clicked, this, &StartScreen::goToMasterData);
    connect(Command3, &QPushButton::clicked, this, &StartScreen::openHelp);
}

void StartScreen::buildLayout()
{
    setObjectName(QStringLiteral("Form1"));
    makeFixedDialog(this, QStringLiteral("ソラニカ"));
    fixClientAreaTwips(this, 5715, 2955);
    setWindowGround(this, Colours::LightGrey);
    setFont(gothicFont(9));

    Label3 = newLabel(this, QStringLiteral("Label3"), QString(), 180, 60, 2595, 315);
    Label3->setFont(gothicFont(9.75, true));
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setFrameStyle(QFrame::Box | QFrame::Plain);
    setColours(Label3, Colours::Black, Colours::White);

    Command1 = newButton(this, QStringLiteral("Command1"), QStringLiteral("スタート"), 180, 480, 2595, 1095);
    Command2 = newButton(this, QStringLiteral("Command2"), QStringLiteral("各データ"), 2880, 480, 2535, 795);
    Command3 = newButton(this, QStringLiteral("Command3"), QStringLiteral("ヘルプページ表示"), 180, 1620,
                         2595, 1035);
    setFocusOrder({Command1, Command2, Command3});
    Command1->setFocus();
}

void StartScreen::load()
{
    Label3->setText(shortDateText(context.clock.now().date()));
}

void StartScreen::goToCharts()
{
    reportFailures(context.messages, this, [&] {
        context.registry.moveTo(ScreenName::Form1, ScreenRegistry::Leave::Unload, ScreenName::Form2);
    });
}

void StartScreen::goToMasterData()
{
    reportFailures(context.messages, this, [&] {
        context.registry.moveTo(ScreenName::Form1, ScreenRegistry::Leave::Unload, ScreenName::Form4);
    });
}

void StartScreen::openHelp()
{
    context.registry.openHelp(HelpPageAddress);
}
