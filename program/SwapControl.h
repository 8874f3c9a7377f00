// Which of the window system's extensions the program asks to turn off the wait for the display's
// refresh, and which it asks what wait is in force: decided from the extension string alone, so
// that the choice is the same on every server and the tests can make it without one. No GL here.
#pragma once

#include <vector>

enum class SwapControl {
    kNone,
    kExt,   // GLX_EXT_swap_control: per drawable, and read back through the drawable
    kMesa,  // GLX_MESA_swap_control: the current drawable, read back by its own call
    kSgi,   // GLX_SGI_swap_control: the current drawable, never read back
};

// Whether the space-separated `extensions` (null where the server gave none) name `name` as a
// whole word: GLX_EXT_swap_control_tear is not GLX_EXT_swap_control.
bool HasExtension(const char* extensions, const char* name);

// The extensions that can set the wait, in the order to try them (one whose function the driver
// does not give is passed for the next): EXT, then MESA, then SGI, which refuses 0 on some drivers.
std::vector<SwapControl> SwapSetters(const char* extensions);

// The extension that can say which wait is in force: EXT, else MESA; kNone where neither is
// offered, and the run line says "unknown".
SwapControl SwapReader(const char* extensions);
