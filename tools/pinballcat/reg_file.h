#ifndef PINBALLCAT_REG_FILE_H
#define PINBALLCAT_REG_FILE_H

/* `export FILE.reg`: the tables the shell reads, with everything in their subkeys, as a
   REGEDIT4 file. `import FILE.reg`: such a file written into the settings as regedit would,
   all of it or, when anything fails, none of it, with the relative paths of the tables and of
   the shell made full from the file's folder. */
int exportCommand(int count, char **words);
int importCommand(int count, char **words);

#endif
