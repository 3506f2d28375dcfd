#ifndef PINBALL_TEST_LEFTOVER_PROCESSES_H
#define PINBALL_TEST_LEFTOVER_PROCESSES_H

#include <string>
#include <vector>

// Ends every program running in the test prefix other than this test itself: each process
// whose executable lies outside the Windows folder, where Wine's own services live. A test
// that fails half-way leaves its table programs and shells behind, and they would answer the
// next test's window searches and notifications. Returns the names of the programs it ended.
std::vector<std::string> endLeftoverProcesses();

// Runs the tests named on the command line with the leftovers ended before and after each
// one, whatever its outcome; every test executable's main.
int runAllTests(int argc, char **argv);

#endif
