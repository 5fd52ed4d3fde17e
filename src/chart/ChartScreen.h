#pragma once

#include "app/ScreenWindow.h"

// Form2.
class ChartScreen : public ScreenWindow
{
    Q_OBJECT
public:
    explicit ChartScreen(ScreenContext& context);
};
