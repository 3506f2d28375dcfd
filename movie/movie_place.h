#ifndef PINBALL_MOVIE_PLACE_H
#define PINBALL_MOVIE_PLACE_H

/* Where the playback window goes, in the backdrop's client coordinates. */
struct MoviePlace {
    int x;
    int y;
    int width;
    int height;
};

/* The movie's width and height from a "where mov source" reply ("left top width height",
   separated by blanks); what the reply lacks stays 0. Nothing beyond its end is read. */
void readMovieSize(const char *reply, int *width, int *height);

/* The movie at its own size: centred in a client area of clientWidth x clientHeight when full
   screen, else at the top left corner. */
MoviePlace placeMovie(const char *reply, int clientWidth, int clientHeight, int fullScreen);

#endif
