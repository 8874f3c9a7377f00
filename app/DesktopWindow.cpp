// The program's few words with the X server directly, where GLUT has none: who the window is
// (its class, its UTF-8 title, its icon), and the pointer and drawing while the menu is open.
// Xlib on the display and window of the current GLX context, which freeglut made; kept apart
// from the callbacks, whose names (Display, Window) Xlib's headers take for types.
#include "app/DesktopWindow.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>

// data/icons/embervane-window.argb, compiled in by the build: for each size its width and
// height, then its pixels from the top row, every value a 32-bit big-endian word.
extern const unsigned char kWindowIcon[];
extern const std::size_t kWindowIconSize;

namespace {

::Display* display = nullptr;
::Window window = 0;
// While the menu is open: the window's core events and its input extension's masks as freeglut
// chose them, and which of those masks selected button releases (bit i for mask i).
long eventMask = 0;
XIEventMask* extensionMasks = nullptr;
int extensionMaskCount = 0;
unsigned long releasesCleared = 0;
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

// Whether the window hears button releases: as core events, and through the input extension,
// where freeglut hears its buttons too and hands them on as core events. The extension's masks
// are kept while releases are not heard, and given back as they were; where the extension is
// missing there are none.
void HearReleases(bool hear) {
    XSelectInput(display, window, hear ? eventMask : eventMask & ~ButtonReleaseMask);
    if (!hear) {
        extensionMasks = XIGetSelectedEvents(display, window, &extensionMaskCount);
    }
    if (extensionMasks == nullptr) {
        return;
    }
    for (int i = 0; i < extensionMaskCount && i < 64; ++i) {
        unsigned char* mask = extensionMasks[i].mask;
        if (extensionMasks[i].mask_len <= XI_ButtonRelease / 8) {
            continue;
        }
        if (hear && (releasesCleared >> i & 1) != 0) {
            XISetMask(mask, XI_ButtonRelease);
        } else if (!hear && XIMaskIsSet(mask, XI_ButtonRelease)) {
            XIClearMask(mask, XI_ButtonRelease);
            releasesCleared |= 1ul << i;
        }
    }
    XISelectEvents(display, window, extensionMasks, extensionMaskCount);
    if (hear) {
        XFree(extensionMasks);
        extensionMasks = nullptr;
        releasesCleared = 0;
    }
}

// Xlib takes the items of a 32-bit property as longs, whatever a long's width.
std::vector<unsigned long> IconWords() {
    std::vector<unsigned long> words(kWindowIconSize / 4);
    for (size_t i = 0; i < words.size() * 4; ++i) {
        words[i / 4] = words[i / 4] << 8 | kWindowIcon[i];
    }
    return words;
}

}  // namespace

// freeglut 3.4 maps the window, and waits until it shows, before glutCreateWindow returns: these
// properties come just after. Docks and task bars follow such changes; a manager that reads the
// class only as it takes a window in (openbox, for its per-application rules) misses it.
void IdentifyWindow(const char* title) {
    display = glXGetCurrentDisplay();
    window = glXGetCurrentDrawable();
    if (display == nullptr || window == 0) {
        display = nullptr;
        return;
    }
    char instance[] = "embervane";
    char className[] = "Embervane";
    XClassHint classHint{instance, className};
    XSetClassHint(display, window, &classHint);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title),
                    static_cast<int>(std::strlen(title)));
    const std::vector<unsigned long> icon = IconWords();
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(icon.data()),
                    static_cast<int>(icon.size()));
    XFlush(display);
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
    if (display == nullptr || !menuInUse) {
        return;
    }
    menuInUse = false;
    openMenu = 0;
    HearReleases(true);
    XFlush(display);
}
