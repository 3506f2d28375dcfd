#ifndef PINBALL_LAYOUT_H
#define PINBALL_LAYOUT_H

#include "settings/catalogue.h"

/* Pixel metrics of every shell window, written only by computeLayout. */
struct ShellLayout {
    int buttonWidth;
    int buttonHeight;
    int frameWidth;
    int frameHeight;
    int backgroundWidth;
    int backgroundHeight;
    int backgroundX;
    int backgroundY;
    int windowWidth;
    int windowHeight;
    int windowX;
    int windowY;
    int labelX;
    int cancelX;
    int okX;
    int buttonRowY;
    int frameBorder;
    int pictureWidth;
    int pictureHeight;
};

extern ShellLayout shellLayout;
/* The whole number that every design size and place is multiplied by (see window_scale). */
extern int layoutScale;

/* Rows of pictures for n tables (row n - 1): the number of rows, then the pictures in each
   row. Row 0 is never shorter than a later one. */
struct GridRow {
    int rowCount;
    int picturesInRow[3];
};
extern const GridRow GridLayoutTable[maxTables];

/* What the layout depends on outside the shell: text extents and system metrics. */
struct LayoutMeasurements {
    int okWidth, okHeight;
    int cancelWidth, cancelHeight;
    int spacesWidth;
    int dialogFrameX, dialogFrameY;
    int screenWidth, screenHeight;
    int screenX, screenY;
};

/* Extent of text in the shell's font (the desktop DC's at scale 1); 100 by 50 when it cannot
   be measured. */
void measureText(const char *text, int *width, int *height);
/* Every design size and place times `scale`; the buttons fit their words, measured in the font
   of that scale; the window is centred on the screen measured. */
void layoutFromMeasurements(const LayoutMeasurements &measured, int scale, ShellLayout *layout);
/* The layout at the scale wanted for the window's monitor (the primary one before the window
   exists), lowered until the window fits the monitor's work area; the shell's font follows. */
void computeLayout();
/* The same for a monitor of `dpi`, as a move to another monitor tells it. */
void computeLayoutForDpi(int dpi);

/* Places the frame window of every catalogue entry on the background in centred rows:
   creates the frames the first time, later moves them and reloads their pictures. */
void placePictureFrames();

#endif
