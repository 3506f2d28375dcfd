#ifndef PINBALLCAT_CATALOGUE_COMMANDS_H
#define PINBALLCAT_CATALOGUE_COMMANDS_H

/* The commands that show and change the list of tables. Each takes the words after its own
   name and returns the tool's exit status. */
int listCommand(int count, char **words);
int addCommand(int count, char **words);
int removeCommand(int count, char **words);
int moveCommand(int count, char **words);
int renameCommand(int count, char **words);
/* Moves a table to another drive letter: its executable, and its picture when that lies on the
   same drive. */
int driveCommand(int count, char **words);

#endif
