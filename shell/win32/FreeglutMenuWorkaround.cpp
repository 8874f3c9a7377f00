// freeglut's menu on Windows draws whole from its first opening and follows the pointer through
// the system's own capture: of the X server's work-around only the font is needed here, which
// freeglut would otherwise take as a fixed 8 by 13 on Windows alone.
#include "shell/FreeglutMenuWorkaround.h"

#include <GL/freeglut.h>

void RememberProgramWindow() {}
void FitMenuWindow(std::span<const MenuEntry> /*entries*/) {
    glutSetMenuFont(glutGetMenu(), GLUT_BITMAP_HELVETICA_18);
}
void HandMenuThePointer() {}
void FollowMenuPointer() {}
void CloseMenu() {}
void TakeBackThePointer() {}
