#ifndef PINBALL_COMMAND_LINE_H
#define PINBALL_COMMAND_LINE_H

/* The words of the shell's command line. A word is found anywhere in the line, also inside a
   longer word, case-sensitively; its number is read right after its first occurrence. */

int hasWord(const char *commandLine, const char *word);

/* 1 and the number when a hexadecimal or decimal number follows the word, else 0. */
int readHexAfterWord(const char *commandLine, const char *word, unsigned long *value);
int readDecimalAfterWord(const char *commandLine, const char *word, int *value);

/* The check value a caller passes with its window: the window raised to the 7th power,
   modulo 2^32. */
unsigned long confirmValue(unsigned long selectValue);

enum CallerWords { noCaller, callerWithoutConfirm, callerMismatch, callerAccepted };

/* Reads the words of a table program that started the shell: "select=" clears playLogoMovie
   and sets callerWindow; "tid=" sets preselectTableId, only once the pair is accepted. A
   "select=" or "confirm=" with no number behind it is a mismatch. */
CallerWords readCallerWords(const char *commandLine);

#endif
