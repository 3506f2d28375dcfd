#include "ui/window_classes.h"

const char backgroundClassName[] = "PinballShellBackgroundClass";
const char pictureFrameClassName[] = "PinballShellPictureFrameClass";
const char pictureClassName[] = "PinballShellPictureClass";
