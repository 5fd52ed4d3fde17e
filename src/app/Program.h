#pragma once

#include "app/ScreenContext.h"
#include "app/ScreenRegistry.h"
#include "store/RecordFile.h"
#include "store/SaleStore.h"

class WebViewFactory;

// The whole program: the shared record file, the screens and the flow between them.
class Program
{
public:
    Program(MessageBoxes& messages, Clock& clock, Printer& printer, FileDialogs& files,
            WebViewFactory& webViews);

    // Starting the program is loading and showing the start screen.
    void start();

    ScreenRegistry& registry() { return screens; }
    RecordFile& records() { return recordFile; }
    SaleStore& sales() { return saleStore; }

private:
    RecordFile recordFile;
    SaleStore saleStore;
    ScreenRegistry screens;
    ScreenContext context;
};
