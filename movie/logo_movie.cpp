#include "movie/logo_movie.h"

#include "common/src/memory.h"
#include "movie/mci_library.h"
#include "movie/movie_place.h"

#include <stdio.h>
#include <stdlib.h>

LogoMovie logoMovie = {NULL, 0, 0, NULL, NULL};
LogoMovie *currentMovie = NULL;
HINSTANCE movieInstance = NULL;

const char movieClassName[] = "MOVIE_BKG";

namespace {

const UINT backdropClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
/* Any path of a text buffer fits beside the fixed words and the window's number. */
const size_t openCommandSize = textBufferSize + 64;
const int whereReplySize = 128;
const int blackOutExtent = 10000;

MCIERROR sendMci(const char *command, HWND callback = NULL)
{
    return sendMciString(command, NULL, 0, callback);
}

/* The inner quotation marks keep a path with blanks one word; the extension names the device. */
bool formatOpenCommand(char *command, const char *path, HWND backdrop)
{
    int length = snprintf(command, openCommandSize, "open \"%s\" alias mov style child parent %d",
                          path, (int)(INT_PTR)backdrop);
    return length > 0 && (size_t)length < openCommandSize;
}

void blackOutDC(HDC dc)
{
    BitBlt(dc, 0, 0, blackOutExtent, blackOutExtent, dc, 0, 0, BLACKNESS);
}

/* The movie is over: the caller hears of it once per play. */
void finishMovie(LogoMovie *movie)
{
    movie->playing = 0;
    if (movie->onFinished != NULL)
        movie->onFinished();
}

/* A movie played to its end or one the device failed to play ends alike; a superseded or
   aborted play is not an end. */
bool onMciNotify(WPARAM code)
{
    if (code != MCI_NOTIFY_SUCCESSFUL && code != MCI_NOTIFY_FAILURE)
        return false;
    if (currentMovie != NULL && currentMovie->playing)
        finishMovie(currentMovie);
    return true;
}

void onPaint(HWND window)
{
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    blackOutWindow(window);
    if (currentMovie != NULL && currentMovie->movieWindow != NULL)
        blackOutWindow(currentMovie->movieWindow);
}

void onParentNotify(WPARAM wParam)
{
    if (LOWORD(wParam) == WM_LBUTTONDOWN || LOWORD(wParam) == WM_RBUTTONDOWN)
        stopMovie();
}

} // namespace

/* Closing the alias makes the device report the pending play as aborted, which is ignored. */
void stopMovie(void)
{
    LogoMovie *movie = currentMovie;
    if (movie == NULL || !movie->playing)
        return;
    sendMci("close mov");
    blackOutWindow(movie->backdropWindow);
    movie->opened = 0;
    finishMovie(movie);
    InvalidateRect(movie->backdropWindow, NULL, TRUE);
    UpdateWindow(movie->backdropWindow);
}

int openMovieDevice(HINSTANCE instance)
{
    movieInstance = instance;
    if (!loadMciLibrary() || sendMci("open avivideo") != 0)
        return 1;
    WNDCLASSA backdropClass = {};
    backdropClass.style = backdropClassStyle;
    backdropClass.lpfnWndProc = MovieBackdropWndProc;
    backdropClass.hInstance = movieInstance;
    backdropClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    backdropClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    backdropClass.lpszClassName = movieClassName;
    return RegisterClassA(&backdropClass) != 0 ? 0 : 1;
}

void closeMovieDevice(void)
{
    sendMci("close avivideo");
    UnregisterClassA(movieClassName, movieInstance);
}

int openMovie(HWND parent, LogoMovie *movie, const char *path, void (*onFinished)(void))
{
    movie->backdropWindow = CreateWindowExA(0, movieClassName, "avi", WS_POPUP, CW_USEDEFAULT,
                                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent,
                                            NULL, movieInstance, NULL);
    movie->onFinished = onFinished;
    if (movie->backdropWindow == NULL)
        return 1;
    movie->opened = 0;
    char command[openCommandSize];
    if (!formatOpenCommand(command, path, movie->backdropWindow) || sendMci(command) != 0)
        return 1;
    movie->opened = 1;
    sendMci("window mov state show");
    if (sendMciString("status mov window handle", command, sizeof command, NULL) != 0)
        return 1;
    movie->movieWindow = (HWND)(INT_PTR)atoi(command);
    InvalidateRect(movie->backdropWindow, NULL, FALSE);
    UpdateWindow(movie->backdropWindow);
    return 0;
}

void playMovie(LogoMovie *movie, int fullScreen)
{
    if (!movie->opened)
        return;
    movie->playing = 1;
    currentMovie = movie;
    positionMovie(movie, fullScreen);
    blackOutMovie();
    ShowWindow(movie->backdropWindow, SW_SHOW);
    UpdateWindow(movie->backdropWindow);
    // No notification would ever come: the player would face a black screen until a click.
    if (sendMci("play mov notify", movie->backdropWindow) != 0)
        finishMovie(movie);
}

void positionMovie(LogoMovie *movie, int fullScreen)
{
    if (!movie->opened)
        return;
    if (fullScreen) {
        RECT desktop;
        GetWindowRect(GetDesktopWindow(), &desktop);
        MoveWindow(movie->backdropWindow, desktop.left, desktop.top, desktop.right,
                   desktop.bottom, TRUE);
    }
    RECT client;
    GetClientRect(movie->backdropWindow, &client);
    char reply[whereReplySize] = "";
    if (sendMciString("where mov source", reply, sizeof reply, NULL) != 0)
        reply[0] = '\0';
    MoviePlace place = placeMovie(reply, client.right, client.bottom, fullScreen);
    if (!fullScreen)
        MoveWindow(movie->backdropWindow, 0, 0, place.width, place.height, TRUE);
    MoveWindow(movie->movieWindow, place.x, place.y, place.width, place.height, TRUE);
}

void closeMovie(LogoMovie *movie)
{
    if (movie->opened)
        sendMci("close mov");
    movie->playing = 0;
    movie->opened = 0;
    if (movie->backdropWindow != NULL && IsWindow(movie->backdropWindow))
        DestroyWindow(movie->backdropWindow);
    movie->backdropWindow = NULL;
    movie->movieWindow = NULL;
}

void blackOutWindow(HWND window)
{
    if (window == NULL)
        return;
    HDC dc = GetDC(window);
    if (dc == NULL)
        return;
    blackOutDC(dc);
    ReleaseDC(window, dc);
}

void blackOutMovie(void)
{
    if (currentMovie == NULL)
        return;
    blackOutWindow(currentMovie->backdropWindow);
    blackOutWindow(currentMovie->movieWindow);
}

LRESULT CALLBACK MovieBackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED:
        sendMci("realize mov");
        break;
    case WM_PAINT:
        onPaint(window);
        return 0;
    case WM_ERASEBKGND:
        blackOutDC((HDC)wParam);
        return 1;
    case WM_CLOSE:
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        stopMovie();
        break;
    case WM_PARENTNOTIFY:
        onParentNotify(wParam);
        break;
    case MM_MCINOTIFY:
        if (onMciNotify(wParam))
            return 0;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
