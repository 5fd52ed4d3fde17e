#include "editor/EditorScreen.h"

#include "platform/Look.h"
#include "platform/Twips.h"

EditorScreen::EditorScreen(ScreenContext& context) : ScreenWindow(context)
{
    setObjectName(QStringLiteral("Form3"));
    makeFixedDialog(this, QStringLiteral("データ入力"));
    fixClientAreaTwips(this, 9000, 7395);
}
