#ifndef PINBALL_LOGO_MOVIE_H
#define PINBALL_LOGO_MOVIE_H

#include <windows.h>

/* One movie played through the AVI device under the alias "mov", on a black backdrop. */
struct LogoMovie {
    HWND movieWindow;    /* the device's playback window, a child of backdropWindow */
    int playing;         /* from playMovie until the movie ends, is stopped or closed */
    int opened;          /* while the alias is open */
    HWND backdropWindow; /* the black MOVIE_BKG popup */
    void (*onFinished)(void);
};

extern LogoMovie logoMovie;
/* The movie last given to playMovie; the backdrop's window procedure acts on it. */
extern LogoMovie *currentMovie;
extern HINSTANCE movieInstance;

extern const char movieClassName[];

/* Opens the AVI device and registers the backdrop class: 0 on success, 1 on failure. */
int openMovieDevice(HINSTANCE instance);
void closeMovieDevice(void);

/* Makes the hidden backdrop (owned by parent, if any) and opens the file in it: 0 on success,
   1 when no movie will play. onFinished is kept in either case. */
int openMovie(HWND parent, LogoMovie *movie, const char *path, void (*onFinished)(void));
/* Shows the backdrop and starts playing; a play that cannot start ends the movie at once. */
void playMovie(LogoMovie *movie, int fullScreen);
/* Puts the playback window at the movie's own size: centred on a full-screen backdrop, or
   with the backdrop shrunk to it. */
void positionMovie(LogoMovie *movie, int fullScreen);
/* Ends the current movie as the player's click, key, close or controller button does: its
   caller hears of it at once. Nothing when none plays. */
void stopMovie(void);
/* Closes the alias and destroys the backdrop; harmless in any state and when repeated. */
void closeMovie(LogoMovie *movie);

/* Paints the whole window black; none is skipped. */
void blackOutWindow(HWND window);
/* Paints the current movie's backdrop and playback window black. */
void blackOutMovie(void);

LRESULT CALLBACK MovieBackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
