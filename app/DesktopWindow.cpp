// Xlib calls on the program's window. Kept apart from the GLUT callbacks: Xlib's headers define
// names (Display, Window) that the rest of the program uses otherwise.
#include "app/DesktopWindow.h"

#include <GL/glx.h>

namespace {

::Display* display = nullptr;
::Window window = 0;
long eventMask = 0;  // the window's events as freeglut chose them, while the menu is open

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
}

void TakeBackThePointer() {
    if (display == nullptr || eventMask == 0) {
        return;
    }
    XSelectInput(display, window, eventMask);
    eventMask = 0;
    XFlush(display);
}
