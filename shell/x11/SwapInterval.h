// The wait for the display's refresh: turned off, so that a benchmark measures the machine, and
// read back, so that a run can say which it had.
#pragma once

// Asks for a swap interval of 0 through whichever GLX extension offers it; does nothing where
// none does. Needs a current context.
void DisableSwapWait();

// The same for a drawable other than the current one (a menu's window), through the one extension
// that takes a drawable; returns false where there is none. `display` is the X display, and the
// types are Xlib's own only in the source: its names would clash with the callbacks'.
bool DisableSwapWaitOf(void* display, unsigned long drawable);

// The swap interval in force for the current drawable, as the driver reports it; -1 where no
// extension says.
int SwapIntervalInForce();
