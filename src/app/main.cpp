#include "app/Program.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("soranika"));
    QApplication::setApplicationDisplayName(QStringLiteral("ソラニカ"));
    QApplication::setApplicationVersion(QStringLiteral("1.00.0002"));
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    // A hidden screen still counts as open; the screen registry decides when the program ends.
    QApplication::setQuitOnLastWindowClosed(false);

    RealMessageBoxes messages;
    SystemClock clock;
    Program program(messages, clock);
    program.start();
    return QApplication::exec();
}
