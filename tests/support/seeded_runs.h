#ifndef PINBALL_TEST_SEEDED_RUNS_H
#define PINBALL_TEST_SEEDED_RUNS_H

#include <windows.h>

#include <string>

// The reliability runs: random inputs from a seed that is printed, so that a failing run can
// be replayed with PINBALL_SEED=<seed>. PINBALL_LONG_RUN=1 asks for the long counts
// (scripts/test --long sets it).

// A small deterministic generator (splitmix64).
struct Random {
    unsigned long long state;
    explicit Random(unsigned long long seed) : state(seed) {}
    DWORD next();
    // 0 to n - 1; 0 when n is 0.
    DWORD below(DWORD n);
    bool percent(DWORD chance) { return below(100) < chance; }
    template <typename T, size_t N> const T &pick(const T (&choices)[N]) { return choices[below(N)]; }
};

// The run's seed: PINBALL_SEED when set, else a fixed one; printed with the run's name.
unsigned long long runSeed(const char *run);
// The generator of case `index` of a run, so that one case can be replayed alone.
Random caseRandom(unsigned long long seed, unsigned long long index);
bool longRun();
// inSuite cases, or inLongRun with PINBALL_LONG_RUN=1; PINBALL_RUNS overrides both.
unsigned long runCount(unsigned long inSuite, unsigned long inLongRun);

// Milliseconds, with the performance counter's precision.
double nowMs();

#endif
