// The program's few words with the X server directly, where GLUT has none: who the window is,
// and the pointer while the menu is open.
#pragma once

// Names the window to the desktop, which freeglut does not: its class (instance "embervane",
// class "Embervane", which the desktop entry's StartupWMClass matches), its title in UTF-8, and
// its icon at 16, 32 and 48 pixels, so that a dock or task bar shows it as the installed
// program. Remembers the window for the calls below. Needs the window's context current; does
// nothing without one.
void IdentifyWindow(const char* title);

// The menu has opened: the pointer goes to whichever window it is over, and the program's
// window stops hearing button releases until TakeBackThePointer.
void HandMenuThePointer();

// The menu has closed: the program's window hears button releases again.
void TakeBackThePointer();

// Has the open menu drawn again, so that its first drawing, made before the renderer knew the
// menu's size, does not stay on the screen. Cheap when no menu is open: called on every frame.
void RedrawOpenMenu();
