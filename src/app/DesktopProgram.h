#pragma once

#include <functional>

class Program;

// Runs the program as the shop starts it, with the real message boxes, clock, printer, file dialogs
// and help views, until it ends. `started`, when given, is called once the start screen is shown:
// measuring tools watch the running program from there.
int runDesktopProgram(int argc, char* argv[], const std::function<void(Program&)>& started = {});
