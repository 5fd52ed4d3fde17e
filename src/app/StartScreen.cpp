#include "app/StartScreen.h"

#include "app/HelpPage.h"
#include "app/ScreenRegistry.h"
#include "platform/Clock.h"
#include "platform/FailureReport.h"
#include "platform/Look.h"
#include "platform/Twips.h"

#include <QLabel>
#include <QPushButton>

StartScreen::StartScreen(ScreenContext& context)
    : ScreenWindow(context), Label3(new QLabel(this)),
      Command1(new QPushButton(QStringLiteral("スタート"), this)),
      Command2(new QPushButton(QStringLiteral("各データ"), this)),
      Command3(new QPushButton(QStringLiteral("ヘルプページ表示"), this))
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

    Label3->setObjectName(QStringLiteral("Label3"));
    placeTwips(Label3, 180, 60, 2595, 315);
    Label3->setFont(gothicFont(9.75, true));
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setFrameStyle(QFrame::Box | QFrame::Plain);
    setColours(Label3, Colours::Black, Colours::White);

    Command1->setObjectName(QStringLiteral("Command1"));
    placeTwips(Command1, 180, 480, 2595, 1095);
    Command2->setObjectName(QStringLiteral("Command2"));
    placeTwips(Command2, 2880, 480, 2535, 795);
    Command3->setObjectName(QStringLiteral("Command3"));
    placeTwips(Command3, 180, 1620, 2595, 1035);
    for (QPushButton* button : {Command1, Command2, Command3}) {
        button->setFont(gothicFont(9));
        button->setAutoDefault(false);
    }
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);
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
