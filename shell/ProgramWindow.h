// The program's one window, opened the same way by the program and by the tools that draw as it
// does (the golden frames, the benchmarks).
#pragma once

// Initialises GLUT with the process's arguments (it takes the X options it knows) and opens the
// 640x480 RGB, double-buffered window with a depth buffer and the program's title, and makes its
// context current. The sanitizer build asks for a GL debug context there and aborts on GL's own
// reports of errors. The window then names itself to the desktop, and the menu's work-around learns
// which window is the program's.
void OpenProgramWindow(int* argc, char** argv);

// Fills in runIdentity: the program's version, the renderer's names as GL gives them, and the
// swap interval in force. Needs the window's context current, after the swap interval is set.
void NameRun();
