#include "app/Application.h"
#include "app/Program.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/Printer.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    setUpApplication();

    RealMessageBoxes messages;
    SystemClock clock;
    SystemPrinter printer;
    RealFileDialogs files;
    Program program(messages, clock, printer, files);
    program.start();
    return QApplication::exec();
}
