#ifndef PINBALL_LIBRARY_FUNCTION_H
#define PINBALL_LIBRARY_FUNCTION_H

#include <windows.h>

/* A function of a library loaded at run time, as the type it has; NULL when the library lacks
   it. The address goes through a function type without parameters, which any function pointer
   converts from. */
template <typename Function> Function libraryFunction(HMODULE library, const char *name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(GetProcAddress(library, name)));
}

#endif
