#include "masterdata/MasterDataScreen.h"

#include "platform/Look.h"
#include "platform/Twips.h"

MasterDataScreen::MasterDataScreen(ScreenContext& context) : ScreenWindow(context)
{
    setObjectName(QStringLiteral("Form4"));
    makeFixedDialog(this, QStringLiteral("基本データ入力"));
    fixClientAreaTwips(this, 10560, 6525);
}
