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
