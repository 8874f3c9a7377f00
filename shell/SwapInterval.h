// Turning off the wait for the display's refresh, so a benchmark measures the machine.
#pragma once

// Asks for a swap interval of 0 through whichever GLX extension offers it; does nothing where
// none does. Needs a current context.
void DisableSwapWait();
