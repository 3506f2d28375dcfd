#ifndef PINBALL_MEMORY_H
#define PINBALL_MEMORY_H

/* Heap blocks behind a 4-byte guard header; a bad release ends the process. */

/* The buffers for paths, registry texts and formatted messages that the shell takes from
   here: 499 characters and the terminator. */
const unsigned long textBufferSize = 500;

extern const unsigned char nearBlockTag;
extern const unsigned char farBlockTag;

void *memoryalloc(unsigned long size);
void memoryfree(void *block);
[[noreturn]] void reportAssertion(const char *expression, const char *file, long line);

#endif
