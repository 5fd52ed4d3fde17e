#pragma once

#include "app/ScreenWindow.h"

// Form4.
class MasterDataScreen : public ScreenWindow
{
    Q_OBJECT
public:
    explicit MasterDataScreen(ScreenContext& context);
};
