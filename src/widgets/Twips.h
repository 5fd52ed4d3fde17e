#pragma once

class QWidget;

// Positions and sizes of the screens are given in twips, 15 to a pixel.
constexpr int twips(int value)
{
    return value / 15;
}

// A length in pixels as twips.
constexpr int pixelsToTwips(int pixels)
{
    return pixels * 15;
}

// A control's place as the screens were drawn, in twips.
struct TwipsRect
{
    int left;
    int top;
    int width;
    int height;
};

// Places `widget` at left, top, width, height given in twips.
void placeTwips(QWidget* widget, int left, int top, int width, int height);
void placeTwips(QWidget* widget, const TwipsRect& rect);

// Gives a window a fixed client area of width × height twips.
void fixClientAreaTwips(QWidget* window, int width, int height);
