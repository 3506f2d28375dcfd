#include "tools/pinballcat/pinballcat_run.h"

#include "settings/settings_store.h"
#include "settings/string_table.h"
#include "shell/globals.h"
#include "tools/pinballcat/attract_command.h"
#include "tools/pinballcat/catalogue_check.h"
#include "tools/pinballcat/catalogue_commands.h"
#include "tools/pinballcat/compat_layers.h"
#include "tools/pinballcat/console.h"
#include "tools/pinballcat/reg_file.h"
#include "tools/pinballcat/scale_command.h"
#include "tools/pinballcat/table_check.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

namespace {

const char usage[] =
    "usage: pinballcat COMMAND ...\n"
    "\n"
    "  list                      the tables as the shell reads them, and where the list ends\n"
    "  add NAME EXE [--picture BMP] [--id N] [--cd LABEL]\n"
    "                            adds a table at the end of the list\n"
    "  remove NAME               removes a table and its subkey\n"
    "  move NAME POSITION        moves a table to Table<POSITION>, counted from 0\n"
    "  rename OLD NEW            gives a table another name\n"
    "  drive NAME LETTER         moves a table to another drive letter (its disc mounted\n"
    "                            elsewhere): its executable, and its picture on that drive\n"
    "  check                     one line a table: executable, picture, last table played;\n"
    "                            status 1 when any is broken\n"
    "  export FILE.reg           writes the tables as a REGEDIT4 file\n"
    "  import FILE.reg           reads such a file; all of it or nothing\n"
    "  check-table EXE           starts a table program as the shell does and checks it;\n"
    "                            status 1 when any step fails\n"
    "  compat NAME SETTING...    sets Windows' compatibility settings of a table's program\n"
    "                            (256COLOR, 640X480, WIN95, ...); compat NAME --clear removes them\n"
    "  scale [N|auto]            shows the window's scale, fixes it at N (1 to 8), or takes it\n"
    "                            from the screen's DPI again (auto, the default)\n"
    "  attract [SECONDS [--keep-awake] | off]\n"
    "                            shows or sets after how long without input the shell shows\n"
    "                            its tables by itself (5 to 3600 s; 120 at first); with\n"
    "                            --keep-awake the display and the machine stay awake meanwhile\n"
    "  help                      this text\n"
    "\n"
    "Status: 0 done, 1 a check found a problem, 2 a command refused or misused.\n";

int helpCommand(int, char **)
{
    fputs(usage, stdout);
    return statusDone;
}

struct Command {
    const char *name;
    int (*run)(int count, char **words);
};

const Command commands[] = {
    {"list", listCommand},     {"add", addCommand},       {"remove", removeCommand},
    {"move", moveCommand},     {"rename", renameCommand}, {"drive", driveCommand},
    {"check", checkCommand},
    {"export", exportCommand}, {"import", importCommand}, {"check-table", checkTableCommand},
    {"compat", compatCommand},        {"scale", scaleCommand},
    {"attract", attractCommand},
    {"help", helpCommand},
};

}

int runPinballcat(int argc, char **argv)
{
    if (argc < 2) {
        fputs(usage, stderr);
        return statusRefused;
    }
    /* Looking at a removable drive without its disc would otherwise raise the system's own
       box and hold the command until someone answers it. */
    SetErrorMode(SEM_FAILCRITICALERRORS);
    appInstance = GetModuleHandleA(NULL);
    setSettingsBase(loadString(IDS_SETTINGS_KEY));
    int status = -1;
    for (const Command &command : commands)
        if (strcmp(argv[1], command.name) == 0)
            status = command.run(argc - 2, argv + 2);
    if (status < 0)
        status = refuse("no command \"%s\"; pinballcat help lists them", argv[1]);
    releaseSettings();
    return status;
}
