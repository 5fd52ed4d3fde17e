#include "app/DesktopProgram.h"

int main(int argc, char* argv[])
{
    return runDesktopProgram(argc, argv);
}
