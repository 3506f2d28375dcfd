#include "shell/startup.h"
#include "tests/support/scripted_controller.h"

#include <windows.h>

/* The shell with the tests' scripted controller in place of winmm's, attached and at rest
   from the start: what the shell spends on a controller that is there, read every few
   milliseconds, without the cost of a driver. */
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    attachScriptedController();
    return runShell(instance, commandLine);
}
