#ifndef PINBALL_NAMES_H
#define PINBALL_NAMES_H

/* Names under which the shell, other shells and the table programs find each other. */
extern const char shellMessageName[];
extern const char tableMessageName[];
extern const char shellClassName[];
extern const char tableClassName[];

/* How long a message to another program's window may take, so that a hung peer cannot
   freeze the shell. */
const unsigned int peerReplyTimeoutMs = 3000;

#endif
