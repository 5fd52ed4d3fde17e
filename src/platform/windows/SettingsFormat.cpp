#include "platform/SettingsFormat.h"

// An INI file under %APPDATA%\soranika rather than the registry: the registry takes the values one by
// one, so a save cut off halfway would leave a mix of old and new, and a restore could not put the
// settings back together with the shop's files.
QSettings::Format settingsFormat()
{
    return QSettings::IniFormat;
}
