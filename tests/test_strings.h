#ifndef PINBALL_TEST_STRINGS_H
#define PINBALL_TEST_STRINGS_H

// A string resource longer than the 254 characters that loadString keeps.
#define IDS_TEST_LONG 1000

#endif
