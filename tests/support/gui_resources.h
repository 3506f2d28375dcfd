#ifndef PINBALL_TEST_GUI_RESOURCES_H
#define PINBALL_TEST_GUI_RESOURCES_H

#include <windows.h>

// What a running program holds, for finding leaks.

// Its GDI objects: GetGuiResources where it answers; Wine's answers 0 for every process, and
// there the live entries of the program's own GDI handle table (which its PEB names, as on
// Windows) are counted. -1 when neither can be read.
int gdiObjectsOf(HANDLE process);

// Its USER objects: GetGuiResources where it answers, else its windows and their children.
int userObjectsOf(HANDLE process);

#endif
