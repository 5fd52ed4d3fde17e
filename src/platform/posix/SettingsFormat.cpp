#include "platform/SettingsFormat.h"

// Qt's native format here is an INI file under the user's configuration folder.
QSettings::Format settingsFormat()
{
    return QSettings::NativeFormat;
}
