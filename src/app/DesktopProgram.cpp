#include "app/DesktopProgram.h"

#include "app/Application.h"
#include "app/DataFolderLock.h"
#include "app/HelpPage.h"
#include "app/Program.h"
#include "app/StartupRecovery.h"
#include "browser/SystemWebViews.h"
#include "platform/Clock.h"
#include "store/PickListFile.h"
#include "widgets/FileDialogs.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Printer.h"

#include <QApplication>
#include <QDir>

int runDesktopProgram(int argc, char* argv[], const std::function<void(Program&)>& started)
{
    const QDateTime startedAt = QDateTime::currentDateTime();
    // The web engine, loaded with the first help window, needs this before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    setUpApplication();

    RealMessageBoxes messages;
    // One program per data folder; then a restore a stop cut short is settled before anything reads.
    const std::unique_ptr<DataFolderLock> folderLock = claimDataFolder(QDir::currentPath(), messages);
    if (!folderLock)
        return 0;
    if (!recoverInterruptedRestore(messages))
        return 1;
    SystemClock clock;
    SystemPrinter printer;
    RealFileDialogs files;
    const std::unique_ptr<WebViewFactory> webViews = systemWebViews(HelpPageAddress, SearchPageAddress);
    Program program(messages, clock, printer, files, *webViews);
    program.tellAtStart(folderLock->notice());
    // Pick-list rewrites that a crash left half done, never any other file.
    PickListFile::removeStaleTemporaries(startedAt);
    program.start();
    if (started)
        started(program);
    return QApplication::exec();
}
