// Xlib calls on the program's window. Kept apart from the GLUT callbacks: Xlib's headers define
// names (Display, Window) that the rest of the program uses otherwise.
#include "app/DesktopWindow.h"

#include <GL/glx.h>

namespace {

::Display* display = nullptr;
::Window window = 0;
long eventMask = 0;  // the window's events as freeglut chose them, while the menu is open
bool menuInUse = false;
::Window openMenu = 0;  // the menu's window, once it is on the screen

// The bits that tell apart the X clients' resource ids: a server gives each client at least
// 2^18 ids, so ids alike above them are one client's.
constexpr ::Window kClientIdBits = ~::Window{0x3FFFF};

// The program's open menu: freeglut's menus are the program's only top-level windows that the
// window manager leaves alone. 0 while none is on the screen.
::Window FindOpenMenu() {
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        return 0;
    }
    ::Window menu = 0;
    for (unsigned i = 0; i < count && menu == 0; ++i) {
        XWindowAttributes attributes;
        if (((children[i] ^ window) & kClientIdBits) == 0 &&
            XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.override_redirect && attributes.map_state == IsViewable) {
            menu = children[i];
        }
    }
    XFree(children);
    return menu;
}

}  // namespace

void IdentifyWindow(const char* /*title*/) {
    display = glXGetCurrentDisplay();
    window = glXGetCurrentDrawable();
}

// freeglut's menu judges a button release in the coordinates of the window that receives it,
// against the menu's place on the screen. The button press that opens the menu grabs the
// pointer for the program's window, which then receives the release, and the two disagree by
// the window's position on the screen: a drag to an entry chooses another, or none. Without
// the grab the release goes to the menu's own window, judged right; one over the program's
// window would still be judged wrong, so that window does not hear releases meanwhile.
void HandMenuThePointer() {
    XWindowAttributes attributes;
    if (display == nullptr || !XGetWindowAttributes(display, window, &attributes)) {
        return;
    }
    eventMask = attributes.your_event_mask;
    XSelectInput(display, window, eventMask & ~ButtonReleaseMask);
    XUngrabPointer(display, CurrentTime);
    XFlush(display);
    menuInUse = true;
}

// A menu's window is made, and its GL context bound to it, at freeglut's default size; it gets
// its own size only when it first opens. Mesa's software renderers learn of a window's new size
// at a buffer swap, so the menu's first drawing is made into buffers of the old size and shows
// shifted down and cut off, until something draws the menu again. When that first drawing comes
// is freeglut's affair, so while the menu is open an exposure on every frame has it drawn again.
void RedrawOpenMenu() {
    if (!menuInUse) {
        return;
    }
    if (openMenu == 0) {
        openMenu = FindOpenMenu();
    }
    if (openMenu != 0) {
        XClearArea(display, openMenu, 0, 0, 0, 0, /*exposures=*/True);
        XFlush(display);
    }
}

void TakeBackThePointer() {
    menuInUse = false;
    openMenu = 0;
    if (display == nullptr || eventMask == 0) {
        return;
    }
    XSelectInput(display, window, eventMask);
    eventMask = 0;
    XFlush(display);
}
