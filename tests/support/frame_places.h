#ifndef PINBALL_TEST_FRAME_PLACES_H
#define PINBALL_TEST_FRAME_PLACES_H

#include <utility>
#include <vector>

// Where the frames of n tables stand on the background (their top-left corners, in catalogue
// order): one to three rows, each centred by itself with the gap of the first row.
typedef std::vector<std::pair<int, int>> Positions;

struct FramePlaces {
    int tables;
    Positions frames;
};

inline const std::vector<FramePlaces> &framePlaces()
{
    static const std::vector<FramePlaces> cases = {
        {1, {{227, 131}}},
        {2, {{110, 131}, {343, 131}}},
        {4, {{110, 46}, {343, 46}, {110, 215}, {343, 215}}},
        {5, {{52, 46}, {227, 46}, {402, 46}, {139, 215}, {314, 215}}},
        {7, {{52, 4}, {227, 4}, {402, 4}, {52, 131}, {227, 131}, {402, 131}, {227, 258}}},
        {10, {{17, 4}, {157, 4}, {297, 4}, {437, 4}, {17, 131}, {157, 131}, {297, 131}, {437, 131}, {157, 258}, {297, 258}}},
        {11, {{17, 4}, {157, 4}, {297, 4}, {437, 4}, {17, 131}, {157, 131}, {297, 131}, {437, 131}, {87, 258}, {227, 258}, {367, 258}}},
        {12, {{17, 4}, {157, 4}, {297, 4}, {437, 4}, {17, 131}, {157, 131}, {297, 131}, {437, 131}, {17, 258}, {157, 258}, {297, 258}, {437, 258}}},
    };
    return cases;
}

#endif
