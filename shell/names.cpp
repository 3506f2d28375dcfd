#include "shell/names.h"

const char shellMessageName[] = "28a555e0-1917-11cf-975c-444553540000";
const char tableMessageName[] = "26fa16e0-1917-11cf-975c-444553540000";
const char shellClassName[] = "938626a0-da7e-11ce-a2a1-0040332e9761";
const char tableClassName[] = "5e106b20-da56-11ce-a2a1-0040332e9761";
