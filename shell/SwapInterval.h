// The wait for the display's refresh: turned off, so that a benchmark measures the machine, and
// read back, so that a run can say which it had. Each window system has its own file (x11/,
// win32/), which the build picks.
#pragma once

// Asks for a swap interval of 0 through whichever extension offers it (GLX on the X server, WGL
// on Windows); does nothing where none does. Needs a current context.
void DisableSwapWait();

// The swap interval in force for the current drawable, as the driver reports it; -1 where no
// extension says.
int SwapIntervalInForce();
