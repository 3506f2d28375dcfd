#include "shell/shell_mode.h"

#include "shell/shell_handover.h"

int runShellMode(void)
{
    if (handOverToRunningShell())
        return -1;
    /* The shell window does not exist yet, so the run ends here. */
    return 0;
}
