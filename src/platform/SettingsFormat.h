#pragma once

#include <QSettings>

// How the per-user settings are kept on this system: always a file, which a save replaces whole, so
// it holds either the old values or the new ones and a backup can carry it.
QSettings::Format settingsFormat();
