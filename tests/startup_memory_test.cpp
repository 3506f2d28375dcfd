#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "shell/globals.h"
#include "shell/startup.h"
#include "tests/support/failing_memory.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/shell_window.h"

namespace {

// Start-up in this process, with no table program and no other shell about, so that it runs
// through to the end of shell mode (its window is closed as it comes); every allocation in turn
// is refused.
TEST(StartUpWithoutMemory, EveryRefusedBufferEndsTheRunWithZeroAndHoldsNothing)
{
    RegistrySandbox sandbox;
    ShellWindowCloser closer;
    struct Case {
        const char *name;
        int storedVersion;
    };
    const Case cases[] = {{"first run", -1}, {"later shell that cannot run", 4}};
    for (const Case &c : cases) {
        for (int allowed = 0; allowed < 16; ++allowed) {
            SCOPED_TRACE(std::string(c.name) + ", allocations allowed: " + std::to_string(allowed));
            deleteSettingsKey();
            if (c.storedVersion >= 0) {
                setRegDword("", "Shell Version", c.storedVersion);
                setRegString("", "Shell Exe", "");
            }
            playLogoMovie = 1;
            failAllocationsAfter(allowed);
            EXPECT_EQ(runShell(GetModuleHandleA(NULL), ""), 0);
            failAllocationsAfter(-1);
            EXPECT_EQ(blocksInUse(), settingsBasePath ? 1 : 0) << "only the settings base is kept";
            releaseSettings();
        }
    }
}

}
