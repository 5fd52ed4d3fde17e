#include "widgets/Twips.h"

#include <QWidget>

void placeTwips(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

void placeTwips(QWidget* widget, const TwipsRect& rect)
{
    placeTwips(widget, rect.left, rect.top, rect.width, rect.height);
}

void fixClientAreaTwips(QWidget* window, int width, int height)
{
    window->setFixedSize(twips(width), twips(height));
}
