#ifndef PINBALL_TEST_FAILING_MEMORY_H
#define PINBALL_TEST_FAILING_MEMORY_H

// A test build of the checked heap, linked instead of the real one where a test needs
// allocations to fail: after `count` more successful allocations every request gives none.
// A negative count lets every allocation succeed.
void failAllocationsAfter(int count);
// Blocks taken and not yet released, so that a test can see what was given back.
int blocksInUse();

#endif
