#ifndef PINBALLCAT_CATALOGUE_CHECK_H
#define PINBALLCAT_CATALOGUE_CHECK_H

/* `check`: one line for each table and for what the last table program recorded; status 1
   when any of them is broken. */
int checkCommand(int count, char **words);

#endif
