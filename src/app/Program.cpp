#include "app/Program.h"

#include "app/StartScreen.h"
#include "browser/HelpBrowser.h"
#include "chart/ChartScreen.h"
#include "editor/EditorScreen.h"
#include "masterdata/MasterDataScreen.h"

Program::Program(MessageBoxes& messages, Clock& clock, Printer& printer, FileDialogs& files,
                 WebViewFactory& webViews)
    : context{screens, recordFile, saleStore, messages, clock, printer, files}
{
    screens.setFactory(ScreenName::Form1, [this] { return new StartScreen(context); });
    screens.setFactory(ScreenName::Form2, [this] { return new ChartScreen(context); });
    screens.setFactory(ScreenName::Form3, [this] { return new EditorScreen(context); });
    screens.setFactory(ScreenName::Form4, [this] { return new MasterDataScreen(context); });
    screens.setBrowserFactory([&messages, &webViews](const QString& address) {
        auto* browser = new HelpBrowser(webViews, messages);
        browser->StartingAddress = address;
        return browser;
    });
}

void Program::start()
{
    screens.show(ScreenName::Form1);
}
