#ifndef PINBALL_TEST_COARSE_CLOCK_H
#define PINBALL_TEST_COARSE_CLOCK_H

// A test build of the tick clock, linked instead of the real one: the system's tick count, or,
// while a test asks for it, that count rounded down to the 15.625 ms steps in which Windows
// advances it. Wine advances it every millisecond.
void setCoarseClock(bool coarse);

// Coarse while it lives.
struct CoarseClock {
    CoarseClock() { setCoarseClock(true); }
    ~CoarseClock() { setCoarseClock(false); }
    CoarseClock(const CoarseClock &) = delete;
    CoarseClock &operator=(const CoarseClock &) = delete;
};

#endif
