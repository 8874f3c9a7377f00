// A work-around of freeglut 3.4's menu, in Xlib: where a button release over the menu is judged,
// and the menu's first drawing. Each function says which fault it gets round; the whole file can
// go once freeglut judges a release in the menu's own coordinates and gives a menu's window its
// size before it first draws it. Kept apart from the callbacks, whose names (Display, Window)
// Xlib's headers take for types.
#include "shell/x11/FreeglutMenuWorkaround.h"

#include <vector>

#include <GL/glx.h>
#include <X11/extensions/XInput2.h>

#include "shell/x11/SwapInterval.h"

namespace {

// The program's window, and its display, as RememberProgramWindow found them.
::Display* display = nullptr;
::Window window = 0;
// While the menu is open: the window's core events as freeglut chose them.
long eventMask = 0;
bool menuInUse = false;
::Window openMenu = 0;  // the menu's window, once it is on the screen
constexpr int kMenuRedraws = 3;
int redrawsLeft = 0;  // exposures still to come for the open menu

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

// The input extension's masks of the devices whose release the menu took away, as freeglut chose
// them: the program's own copies, so that what libXi hands out is freed at once.
struct ReleaseMask {
    int device;
    std::vector<unsigned char> bits;
};
std::vector<ReleaseMask> releasesTaken;

void SelectMasks(std::vector<ReleaseMask>& masks) {
    std::vector<XIEventMask> selection;
    for (ReleaseMask& mask : masks) {
        selection.push_back({mask.device, static_cast<int>(mask.bits.size()), mask.bits.data()});
    }
    XISelectEvents(display, window, selection.data(), static_cast<int>(selection.size()));
}

// Whether the window hears button releases: as core events, and through the input extension,
// where freeglut hears its buttons too and hands them on as core events. The extension's masks
// are kept while releases are not heard, and given back as they were; where the extension is
// missing there are none.
void HearReleases(bool hear) {
    XSelectInput(display, window, hear ? eventMask : eventMask & ~ButtonReleaseMask);
    if (hear) {
        if (!releasesTaken.empty()) {
            SelectMasks(releasesTaken);
        }
        releasesTaken.clear();
        return;
    }
    int count = 0;
    XIEventMask* selected = XIGetSelectedEvents(display, window, &count);
    std::vector<ReleaseMask> without;
    for (int i = 0; i < count; ++i) {
        const XIEventMask& mask = selected[i];
        if (mask.mask_len > XI_ButtonRelease / 8 && XIMaskIsSet(mask.mask, XI_ButtonRelease)) {
            releasesTaken.push_back({mask.deviceid, {mask.mask, mask.mask + mask.mask_len}});
            without.push_back(releasesTaken.back());
            XIClearMask(without.back().bits.data(), XI_ButtonRelease);
        }
    }
    if (selected != nullptr) {
        XFree(selected);
    }
    if (!without.empty()) {
        SelectMasks(without);
    }
}

}  // namespace

void RememberProgramWindow() {
    display = glXGetCurrentDisplay();
    window = glXGetCurrentDrawable();
    if (display == nullptr || window == 0) {
        display = nullptr;
    }
}

// freeglut's menu judges a button release in the coordinates of the window that receives it,
// against the menu's place on the screen. The button press that opens the menu grabs the
// pointer for the program's window, which then receives the release, and the two disagree by
// the window's position on the screen: a drag to an entry chooses another, or none. Without
// the grab the release goes to the menu's own window, judged right; one over the program's
// window would still be judged wrong, and could choose an entry well beside the menu, so that
// window does not hear releases while the menu is open.
void HandMenuThePointer() {
    XWindowAttributes attributes;
    if (display == nullptr || menuInUse || !XGetWindowAttributes(display, window, &attributes)) {
        return;
    }
    eventMask = attributes.your_event_mask;
    HearReleases(false);
    XUngrabPointer(display, CurrentTime);
    XFlush(display);
    menuInUse = true;
    redrawsLeft = kMenuRedraws;
}

// A menu's window is made, and its GL context bound to it, at freeglut's default size; it gets
// its own size only when it first opens. Mesa's software renderers learn of a window's new size
// at a buffer swap, so the menu's first drawing is made into buffers of the old size and shows
// shifted down and cut off, until something draws the menu again. When that first drawing comes
// is freeglut's affair, so once the menu is on the screen an exposure on each of the next few
// frames has it drawn again: one drawing may come before freeglut's first, two that come in one
// turn of its loop are one. After those the menu stays as it is, and the frames run as before.
// Its window gets no wait for the display's refresh, as the program's has none, where the driver
// lets a drawable other than the current one be told.
void RedrawOpenMenu() {
    if (!menuInUse || redrawsLeft == 0) {
        return;
    }
    if (openMenu == 0 && (openMenu = FindOpenMenu()) != 0) {
        DisableSwapWaitOf(display, openMenu);
    }
    if (openMenu != 0) {
        redrawsLeft -= 1;
        XClearArea(display, openMenu, 0, 0, 0, 0, /*exposures=*/True);
        XFlush(display);
    }
}

void TakeBackThePointer() {
    if (display == nullptr || !menuInUse) {
        return;
    }
    menuInUse = false;
    openMenu = 0;
    HearReleases(true);
    XFlush(display);
}
