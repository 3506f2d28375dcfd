#include "tools/pinballcat/pinballcat_run.h"

int main(int argc, char **argv)
{
    return runPinballcat(argc, argv);
}
