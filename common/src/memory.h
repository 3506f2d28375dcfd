#ifndef PINBALL_MEMORY_H
#define PINBALL_MEMORY_H

/* Heap blocks behind a 4-byte guard header; a bad release ends the process. */

extern const unsigned char nearBlockTag;
extern const unsigned char farBlockTag;

void *memoryalloc(unsigned long size);
void memoryfree(void *block);
[[noreturn]] void reportAssertion(const char *expression, const char *file, long line);

#endif
