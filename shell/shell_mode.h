#ifndef PINBALL_SHELL_MODE_H
#define PINBALL_SHELL_MODE_H

/* The wParam of the WM_QUIT that ended the main loop. */
extern int exitCode;
/* The logo movie has ended or could not play, and the main window is shown. */
extern int movieFinished;
/* Where the logo movie is looked for: beside the shell's executable. */
extern char logoMoviePath[];

/* The run in which the user chooses a table; returns the exit status: -1 when another shell
   took over or the window classes could not be registered, 0 when the window could not be
   made, else exitCode. */
int runShellMode(void);

/* One pass of the main loop: 1 to go on, 0 once WM_QUIT has arrived. */
int pumpMessage(void);

#endif
