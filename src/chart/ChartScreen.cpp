#include "chart/ChartScreen.h"

#include "platform/Look.h"
#include "platform/Twips.h"

ChartScreen::ChartScreen(ScreenContext& context) : ScreenWindow(context)
{
    setObjectName(QStringLiteral("Form2"));
    makeFixedDialog(this, QStringLiteral("カルテ"));
    fixClientAreaTwips(this, 10530, 7410);
}
