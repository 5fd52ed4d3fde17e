#include "app/Application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("soranika"));
    QApplication::setApplicationVersion(ProgramVersion);
    // The desktop entry the windows belong to, so the desktop shows them with the program's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("soranika"));
    // No display name: the platform would append it to every window's caption.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    // A hidden screen still counts as open; the screen registry decides when the program ends.
    QApplication::setQuitOnLastWindowClosed(false);

    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}
