// The floor for start-up and memory: a plain Qt Widgets window with the start screen's three buttons,
// nothing else. Reports the moment it is first painted, then ends.

#include "BareWindowButtons.h"
#include "Measure.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    addStartScreenButtons(window);
    window.show();
    Measure::waitUntilPainted(&window);
    Measure::report("shown");
    std::_Exit(0);
}
