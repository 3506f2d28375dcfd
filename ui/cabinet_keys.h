#ifndef PINBALL_CABINET_KEYS_H
#define PINBALL_CABINET_KEYS_H

#include <windows.h>

/* The keys that pinball cabinets wire their buttons to, whatever window of the shell has the
   focus: Left Shift selects the previous table and Right Shift the next, as the arrows do, and
   1 does what OK does. A Shift acts when it is let go with no other key or click while it was
   down, or as it repeats while held; once another key or a click came, it does nothing until it
   is let go, so that Shift with another key (Shift+Tab) stays what it was. A Shift that carries
   no scan code cannot be told left from right, and never steps. In the shell's message boxes, 1
   presses OK (Escape already cancels). */

/* Acts on a message of the shell's windows taken from the queue; 1 when it was the cabinet's
   and must go no further. */
int handleCabinetKey(const MSG *message);

/* The boxes' own message loop takes their keys: a message filter of this thread sees them,
   from startCabinetKeys until stopCabinetKeys. */
void startCabinetKeys(void);
void stopCabinetKeys(void);

#endif
