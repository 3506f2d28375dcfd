#include "movie/movie_place.h"

namespace {

const char *skipBlanks(const char *text)
{
    while (*text == ' ')
        ++text;
    return text;
}

const char *skipWord(const char *text)
{
    while (*text != '\0' && *text != ' ')
        ++text;
    return skipBlanks(text);
}

/* A number far beyond any screen stops growing instead of overflowing. */
const int largestSize = 1000000;

const char *readNumber(const char *text, int *number)
{
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (*number < largestSize)
            *number = *number * 10 + (*text - '0');
    }
    return skipBlanks(text);
}

} // namespace

void readMovieSize(const char *reply, int *width, int *height)
{
    *width = 0;
    *height = 0;
    const char *text = skipWord(skipWord(skipBlanks(reply)));
    readNumber(readNumber(text, width), height);
}

MoviePlace placeMovie(const char *reply, int clientWidth, int clientHeight, int fullScreen)
{
    MoviePlace place = {0, 0, 0, 0};
    readMovieSize(reply, &place.width, &place.height);
    if (fullScreen) {
        place.x = clientWidth / 2 - place.width / 2;
        place.y = clientHeight / 2 - place.height / 2;
    }
    return place;
}
