#ifndef PINBALLCAT_TABLE_CHECK_H
#define PINBALLCAT_TABLE_CHECK_H

/* `check-table EXE`: starts the table program as the shell does and checks, step by step, what
   the shell relies on; status 1 when any step fails. The program is ended in every case. */
int checkTableCommand(int count, char **words);

#endif
