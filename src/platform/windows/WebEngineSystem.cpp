#include "platform/WebEngineSystem.h"

bool systemHasWebEngine()
{
    return false;
}

bool webEngineWouldEndProgram()
{
    return false;
}
