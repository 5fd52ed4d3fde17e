#include "platform/InputMethod.h"

#include <QWidget>

void setHiraganaInput(QWidget* box)
{
    box->setAttribute(Qt::WA_InputMethodEnabled, true);
    box->setInputMethodHints(Qt::ImhNone);
    box->setProperty("inputMode", QStringLiteral("hiragana"));
}

void setInputMethodOff(QWidget* box)
{
    // Without an input method, typing gives plain half-width characters.
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    box->setInputMethodHints(Qt::ImhPreferNumbers | Qt::ImhNoPredictiveText | Qt::ImhLatinOnly);
    box->setProperty("inputMode", QStringLiteral("off"));
}
