// A work-around of freeglut 3.4's menu: the pointer while the menu is open, and the menu's first
// drawing. Delete it, and its calls, once freeglut mends both.
#pragma once

// Remembers the program's window for the calls below: the window of the current context. Until
// then, and without a context, they do nothing.
void RememberProgramWindow();

// The menu has opened: the pointer goes to whichever window it is over, and the program's
// window stops hearing button releases until TakeBackThePointer.
void HandMenuThePointer();

// The menu has closed: the program's window hears button releases again.
void TakeBackThePointer();

// Has the menu drawn again on the first few frames after it opens, so that its first drawing,
// made before the renderer knew the menu's size, does not stay on the screen. Cheap at any other
// time: called on every frame.
void RedrawOpenMenu();
