#include "widgets/Look.h"

#include "platform/Fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

// The first installed one of the families for the screens. A family that is missing would cost a
// search through the system's fonts each time a font of a new size or weight is first used, before the
// next family in the list is tried. The search stops at the first one found: each question costs a
// fontconfig substitution, and six of them cost a third of the start-up; glyphs the family lacks come
// from the system's fallbacks all the same.
QStringList gothicFamilies()
{
    static const QStringList installed = [] {
        const QStringList candidates = screenFontFamilies();
        QStringList found;
        for (const QString& family : candidates) {
            if (QFontDatabase::hasFamily(family)) {
                found.append(family);
                break;
            }
        }
        found.append(QStringLiteral("sans-serif"));
        return found;
    }();
    return installed;
}

} // namespace

QFont gothicFont(double pointSize, bool bold)
{
    QFont font;
    font.setFamilies(gothicFamilies());
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void setColours(QWidget* widget, const QColor& text, const QColor& ground)
{
    QPalette palette = widget->palette();
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, text);
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, ground);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setGround(QWidget* widget, const QColor& ground)
{
    QPalette palette = widget->palette();
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, ground);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setWindowGround(QWidget* window, const QColor& ground)
{
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, ground);
    window->setPalette(palette);
}

void makeFixedDialog(QWidget* window, const QString& caption)
{
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    window->setWindowTitle(caption);
}

void centreOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}
