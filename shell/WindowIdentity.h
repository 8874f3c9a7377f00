// Who the program's window is, for the desktop, where GLUT has no word for it.
#pragma once

// Names the window to the desktop, which freeglut does not: its class (instance "embervane",
// class "Embervane", which the desktop entry's StartupWMClass matches), its title in UTF-8, and
// its icon at 16, 32 and 48 pixels, so that a dock or task bar shows it as the installed
// program. Needs the window's context current; does nothing without one. On Windows the icon
// and the version are resources, and nothing is left to do.
void IdentifyWindow(const char* title);
