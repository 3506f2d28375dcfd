#include "tests/support/leftover_processes.h"

int main(int argc, char **argv)
{
    return runAllTests(argc, argv);
}
