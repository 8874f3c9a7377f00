// The swap interval of the X server's drawables other than the program's window.
#pragma once

#include "shell/SwapInterval.h"

// Asks for a swap interval of 0 for a drawable other than the current one (a menu's window),
// through the one extension that takes a drawable; returns false where there is none. `display`
// is the X display, and the types are Xlib's own only in the source: its names would clash with
// the callbacks'.
bool DisableSwapWaitOf(void* display, unsigned long drawable);
