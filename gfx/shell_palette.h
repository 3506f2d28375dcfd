#ifndef PINBALL_SHELL_PALETTE_H
#define PINBALL_SHELL_PALETTE_H

#include <windows.h>

/* The shell's logical palette: the background's colours at entries 10 to 245, black around
   them where a 256-colour display keeps its static colours. NULL while absent. */
extern HPALETTE ShellPalette;

/* Builds ShellPalette from the "bkgnd_bmp" resource and realises it in window's DC. Without
   the resource the palette stays black and unrealised; the result is always 1. */
int buildShellPalette(HWND window);
void deleteShellPalette();
/* Selects ShellPalette (when there is one) into dc in the foreground and realises it. */
void realizeShellPalette(HDC dc);

#endif
