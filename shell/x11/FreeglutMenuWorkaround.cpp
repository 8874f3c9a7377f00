// A work-around of freeglut 3.4's menu, in Xlib: the menu's first drawing, and where the presses
// and releases go while it is open. Each function says which fault it gets round; the whole file
// can go once freeglut sizes a menu's window before it first draws it and holds the pointer for
// its open menu. Kept apart from the callbacks, whose names (Display, Window) Xlib's headers take
// for types.
#include "shell/FreeglutMenuWorkaround.h"

#include <algorithm>
#include <cstdlib>

#include <GL/freeglut.h>
#include <GL/glx.h>

#include "shell/x11/SwapInterval.h"

namespace {

// The program's window, and its display, as RememberProgramWindow found them.
::Display* display = nullptr;
::Window window = 0;
// The menu's window and its size, once FitMenuWindow has found and sized it.
::Window menu = 0;
int menuWidth = 0;
int menuHeight = 0;

// Who has the pointer. While the menu opens, the grab is the program's own and nothing hears
// the pointer; while it is open, the menu's window hears all of it; once it has closed, nothing
// hears the pointer until its buttons are up.
enum class Pointer { kFree, kMenuOpening, kHeldByMenu, kReleasing };
Pointer pointer = Pointer::kFree;
bool menuOpen = false;  // from freeglut's word that the menu is in use to its word that it is not
int openedAtX = 0;      // the pointer on the screen as the menu opened: the menu's corner
int openedAtY = 0;
bool openingPressHeld = false;  // the menu took the pointer with a button still held
// How far a release may be from where the menu opened and still be the end of the click that
// opened it, as desktop menus count a click.
constexpr int kClickSlop = 4;
constexpr unsigned kButtonMasks =
    Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask;

// The bits that tell apart the X clients' resource ids: a server gives each client at least
// 2^18 ids, so ids alike above them are one client's.
constexpr ::Window kClientIdBits = ~::Window{0x3FFFF};

// The program's menu: freeglut's menus are the program's only top-level windows that the window
// manager leaves alone. 0 where there is none.
::Window FindMenu() {
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        return 0;
    }
    ::Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        XWindowAttributes attributes;
        if (((children[i] ^ window) & kClientIdBits) == 0 &&
            XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.override_redirect) {
            found = children[i];
        }
    }
    XFree(children);
    return found;
}

struct PointerState {
    int x;  // on the screen
    int y;
    unsigned buttons;
};

PointerState QueryPointer() {
    ::Window root = 0;
    ::Window child = 0;
    PointerState state{};
    int windowX = 0;
    int windowY = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &state.x, &state.y, &windowX,
                  &windowY, &state.buttons);
    state.buttons &= kButtonMasks;
    return state;
}

// An active grab of the pointer for `on`, which then hears the pointer events of `events` from
// anywhere on the screen, in its own coordinates, and no other window hears any.
bool GrabPointer(::Window on, unsigned events) {
    return XGrabPointer(display, on, False, events, GrabModeAsync, GrabModeAsync, None, None,
                        CurrentTime) == GrabSuccess;
}

// Whether a release at `at` ends the open menu: off its window, and not the release of the
// click that opened it.
bool ReleaseClosesMenu(const PointerState& at) {
    int x = 0;
    int y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, DefaultRootWindow(display), menu, at.x, at.y, &x, &y, &child);
    const bool offMenu = x < 0 || y < 0 || x >= menuWidth || y >= menuHeight;
    const bool atOpening =
        std::abs(at.x - openedAtX) <= kClickSlop && std::abs(at.y - openedAtY) <= kClickSlop;
    return offMenu && !atOpening;
}

}  // namespace

void RememberProgramWindow() {
    display = glXGetCurrentDisplay();
    window = glXGetCurrentDrawable();
    if (display == nullptr || window == 0) {
        display = nullptr;
    }
}

// freeglut makes a menu's window, and binds a GL context to it, at its default size of 300 by
// 300, and gives the window the menu's size only as it first opens. Mesa's software renderers
// read a window's size when they make its buffers: once, as a context is first bound to it, and
// again only after a buffer swap. So the menu's first drawing went into buffers of the old size
// and showed shifted down and cut off until it was drawn again. Here the window gets the size
// freeglut computes for the menu, in freeglut's own way and with the font set here, and one swap
// of its (unseen) buffers, made while it is not on the screen, has the renderer read that size
// before the menu's first drawing; the program's context is current, which the renderer needs
// for a swap. The menu's window waits for no display refresh, as the program's does not, where
// the driver lets a drawable other than the current one be told.
void FitMenuWindow(std::span<const MenuEntry> entries) {
    void* const font = GLUT_BITMAP_HELVETICA_18;
    glutSetMenuFont(glutGetMenu(), font);
    if (display == nullptr || (menu = FindMenu()) == 0) {
        return;
    }
    constexpr int kBorder = 2;  // freeglut's, around the entries and below each
    int widest = 0;
    for (const MenuEntry& entry : entries) {
        widest = std::max(
            widest, glutBitmapLength(font, reinterpret_cast<const unsigned char*>(entry.label)));
    }
    menuWidth = widest + 4 * kBorder;
    menuHeight =
        static_cast<int>(entries.size()) * (glutBitmapHeight(font) + kBorder) + 2 * kBorder;
    XResizeWindow(display, menu, static_cast<unsigned>(menuWidth),
                  static_cast<unsigned>(menuHeight));
    DisableSwapWaitOf(display, menu);
    glXSwapBuffers(display, menu);
    XFlush(display);
}

// freeglut judges a press or release that reaches the program's window in that window's
// coordinates against the menu's place on the screen, so that, wherever the window does not
// sit at the screen's corner, a release or a click in the scene beside the menu can choose an
// entry; and it lets a release anywhere outside the menu leave it open, and any other program
// hear it. Desktop menus take the pointer while they are open: so does this one. Its window is
// not on the screen yet as this is called (freeglut shows it after the call), so until the next
// frame the program holds the pointer itself, with nobody hearing it; then the menu's window
// takes it (FollowMenuPointer).
void HandMenuThePointer() {
    if (display == nullptr || menu == 0 || menuOpen) {
        return;
    }
    menuOpen = true;
    const PointerState at = QueryPointer();  // as freeglut placed the menu by it
    openedAtX = at.x;
    openedAtY = at.y;
    // The press that opened the menu holds the pointer for the program's window, in a grab of
    // the input extension's kind (freeglut hears its buttons through the extension), which no
    // core grab may replace: it is let go first.
    XUngrabPointer(display, CurrentTime);
    pointer = GrabPointer(DefaultRootWindow(display), 0) ? Pointer::kMenuOpening : Pointer::kFree;
    XFlush(display);
}

// While the menu holds the pointer, freeglut judges every press and release in the menu's own
// coordinates: a press on an entry chooses it, one anywhere else closes the menu, a release on
// an entry chooses it. A release anywhere else freeglut leaves unheeded, so the frame that finds
// the buttons of the opening press up looks where the pointer is: off the menu, the menu closes,
// unless the release ended a click where the menu opened. (A pointer that moves on within that
// frame is judged where it has gone.) Should the menu's window not take the pointer, the program
// lets go of it, and the menu works as freeglut's own, though the press that opened it no longer
// holds the pointer.
void FollowMenuPointer() {
    switch (pointer) {
        case Pointer::kFree:
            return;
        case Pointer::kMenuOpening:
            if (GrabPointer(menu, ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                                      EnterWindowMask | LeaveWindowMask)) {
                openingPressHeld = QueryPointer().buttons != 0;
                pointer = Pointer::kHeldByMenu;
            } else {
                XUngrabPointer(display, CurrentTime);
                pointer = Pointer::kFree;
            }
            break;
        case Pointer::kHeldByMenu:
            if (openingPressHeld) {
                if (const PointerState at = QueryPointer(); at.buttons == 0) {
                    openingPressHeld = false;
                    if (ReleaseClosesMenu(at)) {
                        CloseMenu();
                    }
                }
            }
            return;
        case Pointer::kReleasing:
            if (QueryPointer().buttons == 0) {
                XUngrabPointer(display, CurrentTime);
                pointer = Pointer::kFree;
            }
            break;
    }
    XFlush(display);
}

// The one way to close freeglut's menu from outside is the way a user does: a press beside it.
// It goes to the menu's own window, which only the program hears, through the server: after any
// press or release already on its way, so that a release on an entry still chooses it.
void CloseMenu() {
    if (!menuOpen) {
        return;
    }
    XEvent press{};
    press.xbutton.type = ButtonPress;
    press.xbutton.window = menu;
    press.xbutton.root = DefaultRootWindow(display);
    press.xbutton.x = -1;
    press.xbutton.y = -1;
    press.xbutton.button = Button1;
    press.xbutton.same_screen = True;
    XSendEvent(display, menu, False, ButtonPressMask, &press);
    XFlush(display);
}

// freeglut takes the menu's window off the screen as it closes the menu, and the X server then
// ends the menu's grab: a button still held would be released over whatever lies below, which
// would hear a release without its press. So a held button keeps the pointer the program's, with
// nobody hearing it, until every button is up.
void TakeBackThePointer() {
    menuOpen = false;
    if (display == nullptr || pointer == Pointer::kFree) {
        return;
    }
    const bool held = QueryPointer().buttons != 0;
    if (held && GrabPointer(DefaultRootWindow(display), 0)) {
        pointer = Pointer::kReleasing;
    } else {
        XUngrabPointer(display, CurrentTime);
        pointer = Pointer::kFree;
    }
    XFlush(display);
}
