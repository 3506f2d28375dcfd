#ifndef PINBALL_ANSWERING_WAIT_H
#define PINBALL_ANSWERING_WAIT_H

#include <windows.h>

/* Waits on the calling thread for `object` to be signalled, or for `timeoutMs` when `object` is
   NULL, while answering the messages that other threads and programs send to it. Posted
   messages and input stay queued, untouched. A program that started this one with WinExec
   waits until this thread is idle, and a program that broadcasts waits for every top-level
   window: a thread blocked in a plain wait would hold both until their own bounds.
   1 when the object was signalled, 0 when the time ran out or the object cannot be waited on. */
int waitAnswering(HANDLE object, DWORD timeoutMs);

#endif
