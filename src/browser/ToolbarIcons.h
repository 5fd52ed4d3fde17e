#pragma once

#include <QList>
#include <QPixmap>

// The images of the help window's six toolbar buttons, in button order (back, forward, stop,
// refresh, home, search): 24 × 24, drawn on light grey, which the mask makes see-through.
QList<QPixmap> imlToolbarIcons();
