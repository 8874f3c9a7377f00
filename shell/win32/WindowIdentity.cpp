// Who the program's window is, on Windows: freeglut gives its windows the icon resource named
// "GLUT_ICON", which shell/win32/embervane.rc holds with the version information, and the task
// bar shows the title that freeglut sets. Nothing is left to do at run time.
#include "shell/WindowIdentity.h"

void IdentifyWindow(const char* /*title*/) {}
