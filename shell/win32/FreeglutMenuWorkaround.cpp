// freeglut's menu on Windows draws whole from its first opening and follows the pointer through
// the system's own capture: the X server's work-around has nothing to do here.
#include "shell/FreeglutMenuWorkaround.h"

void RememberProgramWindow() {}
void FitMenuWindow(std::span<const MenuEntry> /*entries*/) {}
void HandMenuThePointer() {}
void FollowMenuPointer() {}
void CloseMenu() {}
void TakeBackThePointer() {}
