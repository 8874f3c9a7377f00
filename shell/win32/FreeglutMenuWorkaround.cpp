// freeglut's menu on Windows draws whole from its first opening. It reads a press or release on
// the program's window against the menu's place in screen coordinates, with the pointer in the
// window's own: one beside the menu could choose an entry, and the release of the opening press
// over an entry could miss it. So while the menu is open its window holds the mouse, as Windows'
// own menus do, and reads every press and release in its own coordinates: a release off the menu
// leaves it open, a press off it closes it. The menu also gets the font it has on X, which freeglut
// would otherwise take as a fixed 8 by 13 on Windows alone.
#include "shell/FreeglutMenuWorkaround.h"

#include <cstring>

#include <GL/freeglut.h>
#include <windows.h>

namespace {

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM found) {
    char title[32];
    if (GetWindowTextA(window, title, sizeof(title)) > 0 &&
        std::strcmp(title, "freeglut menu") == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

void RememberProgramWindow() {}

void FitMenuWindow(std::span<const MenuEntry> /*entries*/) {
    glutSetMenuFont(glutGetMenu(), GLUT_BITMAP_HELVETICA_18);
}

void HandMenuThePointer() {
    HWND menu = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindMenuWindow, reinterpret_cast<LPARAM>(&menu));
    if (menu != nullptr) {
        SetCapture(menu);
    }
}

void FollowMenuPointer() {}
void CloseMenu() {}

void TakeBackThePointer() {
    ReleaseCapture();
}
