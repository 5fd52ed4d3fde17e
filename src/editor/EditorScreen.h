#pragma once

#include "app/ScreenWindow.h"

// Form3.
class EditorScreen : public ScreenWindow
{
    Q_OBJECT
public:
    explicit EditorScreen(ScreenContext& context);
};
