// Who the window is, for the desktop: its class, its UTF-8 title and its icon. Xlib on the display
// and window of the current GLX context, which freeglut made; kept apart from the callbacks,
// whose names (Display, Window) Xlib's headers take for types.
#include "shell/WindowIdentity.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

// data/icons/embervane-window.argb, compiled in by the build: for each size its width and
// height, then its pixels from the top row, every value a 32-bit big-endian word.
extern const unsigned char kWindowIcon[];
extern const std::size_t kWindowIconSize;

namespace {

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
    ::Display* display = glXGetCurrentDisplay();
    const ::Window window = glXGetCurrentDrawable();
    if (display == nullptr || window == 0) {
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
