#ifndef PINBALL_ATTRACT_SETTINGS_H
#define PINBALL_ATTRACT_SETTINGS_H

/* The player's choice of attract mode, kept in the settings key: after how many seconds
   without input the shell starts showing its tables by itself (0: never), and whether the
   display and the machine are kept awake meanwhile. */
struct AttractSettings {
    int idleSeconds;
    int keepAwake;
};

const int attractDefaultSeconds = 120;
const int attractShortestSeconds = 5;
const int attractLongestSeconds = 3600;

/* The stored choice; without one, on after attractDefaultSeconds. A stored time outside the
   range that pinballcat takes (a hand-made value) is brought to its nearer end. */
AttractSettings readAttractSettings(void);
void writeAttractSettings(const AttractSettings *settings);

#endif
