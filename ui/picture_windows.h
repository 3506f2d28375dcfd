#ifndef PINBALL_PICTURE_WINDOWS_H
#define PINBALL_PICTURE_WINDOWS_H

#include <windows.h>

struct DiscSurvey;
struct TableEntry;

/* The look at the drives that the pictures of one placing of the frames share, kept on the
   placing's stack; NULL outside a placing, when a picture looks at the drives by itself. */
extern DiscSurvey *pictureDiscSurvey;

/* (Re)loads the picture that `window` shows for `entry`: its picture file (from the table's
   disc in another drive when that holds it), else the placeholder for its kind of drive with
   the table's name written on it. */
void loadTablePicture(HWND window, TableEntry &entry);

/* The ring around a picture: black, grey while selected, flashing while selected and the
   background has the focus. */
LRESULT CALLBACK PictureFrameWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/* A table's picture; a click selects the table, a double-click launches it. */
LRESULT CALLBACK PictureWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
