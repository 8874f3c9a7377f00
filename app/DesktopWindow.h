// The program's few words with the X server directly, where GLUT has none: who the window is,
// and the pointer while the menu is open.
#pragma once

// Remembers the current context's window; to be called once it exists. Does nothing without
// an X display.
void IdentifyWindow(const char* title);

// The menu has opened: the pointer goes to whichever window it is over, and the program's
// window stops hearing button releases until TakeBackThePointer.
void HandMenuThePointer();

// The menu has closed: the program's window hears button releases again.
void TakeBackThePointer();

// Has the menu opened last drawn again, so that its first drawing, made before the renderer
// knew the menu's size, does not stay on the screen. Cheap when there is nothing to do: called
// on every frame.
void RedrawOpenMenu();
