#ifndef PINBALL_DRIVE_LETTER_H
#define PINBALL_DRIVE_LETTER_H

/* Drive letters as paths and words carry them: "E:\TABLES\x.exe", "e:x.exe", "F". */

/* `c` as a drive letter in capitals; 0 when it is no letter from A to Z. */
char driveLetter(char c);

/* The letter of the drive that `path` starts with ("E:"), in capitals; 0 for a path that names
   no drive by its letter (a network path, a relative one, an empty one). */
char pathDriveLetter(const char *path);

#endif
