#ifndef TABLEPROG_TABLE_LOG_H
#define TABLEPROG_TABLE_LOG_H

/* Appends one line (printf-style, wsprintf formats) to the file named by the environment
   variable PINBALL_TABLE_LOG; does nothing when it is not set. */
void logEvent(const char *format, ...);

#endif
