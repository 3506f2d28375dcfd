#ifndef PINBALL_WINDOW_CLASSES_H
#define PINBALL_WINDOW_CLASSES_H

/* The classes of the windows inside the main window. */
extern const char backgroundClassName[];
extern const char pictureFrameClassName[];
extern const char pictureClassName[];

#endif
