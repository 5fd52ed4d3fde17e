// The floor for the Windows build's start-up under Wine (scripts/windows/startup-bench.sh): a plain Qt
// Widgets window with the start screen's caption and three buttons, nothing else, built with the same
// toolchain as soranika.exe. It stays open until it is closed.

#include "BareWindowButtons.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("ソラニカ"));
    addStartScreenButtons(window);
    window.show();
    return app.exec();
}
