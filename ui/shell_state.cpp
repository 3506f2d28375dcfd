#include "ui/shell_state.h"

HWND mainWindow = NULL;
HWND nameLabel = NULL;
HWND okButton = NULL;
HWND cancelButton = NULL;
HWND backgroundWindow = NULL;

TableEntry *currentSelection = NULL;
ConfirmedTable confirmedTable = {NULL, ""};
