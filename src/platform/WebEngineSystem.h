#pragma once

// Whether this system's build has Qt WebEngine for the help windows: MinGW has none.
bool systemHasWebEngine();

// The engine's browser ends the whole process when it is started by root with its sandbox on. A
// browser that can reach the web is not run without a sandbox unless whoever started the program
// asked for it with QTWEBENGINE_DISABLE_SANDBOX.
bool webEngineWouldEndProgram();
