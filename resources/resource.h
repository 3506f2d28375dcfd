#ifndef PINBALL_RESOURCE_H
#define PINBALL_RESOURCE_H

/* String table ids; 2 and 3 are unused. */
#define IDS_TITLE 0
#define IDS_SETTINGS_KEY 1
#define IDS_TABLE_NOT_FOUND 4
#define IDS_ERROR_CAPTION 5
#define IDS_RUN_FAILED 6
#define IDS_BAD_PARAMETERS 7
#define IDS_INSERT_CD 8
#define IDS_UNKNOWN_CD 9
#define IDS_OK 10
#define IDS_CANCEL 11
#define IDS_NEEDS_256_COLOURS 12

/* The same in every language's table: a name, and the key other programs find the settings by. */
#define SHELL_TITLE_TEXT "Vantrel! 2 Demo"
#define SETTINGS_KEY_TEXT "Software\\Corvane\\Vantrel2Demo"

#define SHELL_VERSION_MAJOR 3
#define SHELL_VERSION_TEXT "3.0.0.0"

#endif
