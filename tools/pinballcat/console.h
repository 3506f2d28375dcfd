#ifndef PINBALLCAT_CONSOLE_H
#define PINBALLCAT_CONSOLE_H

#include <windows.h>

#include <string>

/* Exit statuses of the tool: done, a check found a problem, or the command was refused. */
const int statusDone = 0;
const int statusProblem = 1;
const int statusRefused = 2;

/* Prints "pinballcat: <message>" to the error output; returns statusRefused. */
int refuse(const char *format, ...);

/* A whole number from `lowest` to `highest` written as up to `mostDigits` digits and nothing
   else, so that "2.5", "-1" and "3x" are refused rather than read as a part of them; false for
   anything else, *number then as it was. */
bool readWholeNumber(const char *word, int mostDigits, int lowest, int highest, int *number);

/* What Windows says about an error code, in one line ("Access denied"). */
std::string systemErrorText(LONG code);

#endif
