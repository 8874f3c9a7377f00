// A work-around of freeglut 3.4's menu: its first drawing, and the pointer while it is open.
// Delete it, and its calls, once freeglut mends both. The X server's is in x11/, Windows' in
// win32/: there the menu draws whole, and only the font and the pointer need it.
#pragma once

#include <span>

#include "program/Commands.h"

// Remembers the program's window for the calls below: the window of the current context. Until
// then, and without a context, they do nothing.
void RememberProgramWindow();

// The current menu, just built from `entries`, gets its font, and its window the size freeglut
// gives it when it first opens, so that its first drawing is whole.
void FitMenuWindow(std::span<const MenuEntry> entries);

// The menu has opened: it takes the pointer, as desktop menus do.
void HandMenuThePointer();

// Called on every frame: follows the pointer while the menu holds it. Cheap at any other time.
void FollowMenuPointer();

// Closes the menu, choosing nothing, if it is open: the window can no longer be seen.
void CloseMenu();

// The menu has closed: the pointer is given back once its buttons are up.
void TakeBackThePointer();
