#include "tests/support/seeded_runs.h"

#include <stdio.h>
#include <stdlib.h>

namespace {

const unsigned long long fixedSeed = 20261210;

std::string environment(const char *name)
{
    char value[64];
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

} // namespace

DWORD Random::next()
{
    unsigned long long z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return (DWORD)((z ^ (z >> 31)) >> 32);
}

DWORD Random::below(DWORD n)
{
    return n == 0 ? 0 : next() % n;
}

unsigned long long runSeed(const char *run)
{
    std::string chosen = environment("PINBALL_SEED");
    unsigned long long seed = chosen.empty() ? fixedSeed : strtoull(chosen.c_str(), NULL, 10);
    printf("[ seed     ] %s: PINBALL_SEED=%llu\n", run, seed);
    fflush(stdout);
    return seed;
}

Random caseRandom(unsigned long long seed, unsigned long long index)
{
    Random mixer(seed ^ (index * 0xD1B54A32D192ED03ULL));
    mixer.next();
    return mixer;
}

bool longRun()
{
    return environment("PINBALL_LONG_RUN") == "1";
}

unsigned long runCount(unsigned long inSuite, unsigned long inLongRun)
{
    std::string chosen = environment("PINBALL_RUNS");
    if (!chosen.empty())
        return strtoul(chosen.c_str(), NULL, 10);
    return longRun() ? inLongRun : inSuite;
}

double nowMs()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return now.QuadPart * 1000.0 / frequency.QuadPart;
}
