#ifndef PINBALL_SHELL_FONT_H
#define PINBALL_SHELL_FONT_H

#include <windows.h>

/* The font of the label, the buttons and the placeholders' names: at scale 1 none of the
   shell's own (the system's, as the windows take it by themselves), at scale n the system's
   font made n times the height it has at 96 dpi, so that text stays sharp and fits. */
extern HFONT shellFont;

/* Makes the font of `scale` for a screen whose system font was made for `systemDpi`, replacing
   the one before; NULL at scale 1 or when none could be made. */
void makeShellFont(int scale, int systemDpi);
void releaseShellFont(void);

/* Gives `window` the shell's font (the system's while there is none), redrawn. */
void applyShellFont(HWND window);

/* Selects the shell's font into `dc` when there is one; the font selected before, or NULL. */
HFONT selectShellFont(HDC dc);

#endif
