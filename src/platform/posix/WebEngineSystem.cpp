#include "platform/WebEngineSystem.h"

#include <QtGlobal>

#include <unistd.h>

bool systemHasWebEngine()
{
    return true;
}

bool webEngineWouldEndProgram()
{
    return geteuid() == 0 && qEnvironmentVariableIntValue("QTWEBENGINE_DISABLE_SANDBOX") == 0;
}
