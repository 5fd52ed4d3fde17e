#include "app/Application.h"
#include "app/Program.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    setUpApplication();

    RealMessageBoxes messages;
    SystemClock clock;
    Program program(messages, clock);
    program.start();
    return QApplication::exec();
}
