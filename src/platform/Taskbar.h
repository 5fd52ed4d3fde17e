#pragma once

class QWidget;

// Keeps a window that belongs to another (a screen's dialog) out of the desktop's taskbar. Call it
// before the window is first shown. Where the platform has no such hint, an owned window stays out
// of the taskbar by itself.
void keepOutOfTaskbar(QWidget* window);
