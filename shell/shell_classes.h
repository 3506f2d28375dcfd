#ifndef PINBALL_SHELL_CLASSES_H
#define PINBALL_SHELL_CLASSES_H

/* Which of the four window classes are registered: bit 1 the main class, 2 the background,
   4 the frame, 8 the picture class. */
extern unsigned int registeredClasses;

/* 1 when all four classes are registered; else 0, with none of them left registered. */
int registerShellClasses(void);
void unregisterShellClasses(void);

#endif
