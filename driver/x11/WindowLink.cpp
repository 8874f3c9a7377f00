// Finding the program's window and talking to it through the X server.
#include "driver/x11/WindowLink.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// A window can go between the question and the answer: such errors are expected, not fatal.
int IgnoreError(Display*, XErrorEvent*) {
    return 0;
}

bool IsProgramWindow(Display* display, Window window) {
    XClassHint hint = {nullptr, nullptr};
    bool program = false;
    if (XGetClassHint(display, window, &hint) != 0) {
        program = hint.res_class != nullptr && std::strcmp(hint.res_class, "Embervane") == 0;
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    char* name = nullptr;
    if (!program && XFetchName(display, window, &name) != 0 && name != nullptr) {
        program = std::strncmp(name, "Embervane ", 10) == 0;
    }
    XFree(name);
    return program;
}

// Every window below `window`, to the depth of a window manager's frames and the clients in them.
void Visit(Display* display, Window window, int depth, const std::function<void(Window)>& visit) {
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (depth > 3 || XQueryTree(display, window, &root, &parent, &children, &count) == 0) {
        return;
    }
    for (unsigned i = 0; i < count; ++i) {
        visit(children[i]);
        Visit(display, children[i], depth + 1, visit);
    }
    XFree(children);
}

}  // namespace

std::string WindowLink::Open(const std::string& name) {
    XSetErrorHandler(IgnoreError);
    display_ = XOpenDisplay(name.c_str());
    return display_ != nullptr ? "" : "cannot open display " + name;
}

void WindowLink::Disconnect() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
        display_ = nullptr;
    }
}

std::set<unsigned long> WindowLink::ProgramWindows() {
    std::set<unsigned long> windows;
    Visit(display_, DefaultRootWindow(display_), 0, [&](Window window) {
        if (IsProgramWindow(display_, window)) {
            windows.insert(window);
        }
    });
    return windows;
}

unsigned long WindowLink::NewShownWindow(const std::set<unsigned long>& before) {
    for (const unsigned long window : ProgramWindows()) {
        XWindowAttributes attributes;
        if (before.count(window) == 0 && XGetWindowAttributes(display_, window, &attributes) != 0 &&
            attributes.map_state == IsViewable) {
            return window;
        }
    }
    return 0;
}

void WindowLink::Key(unsigned long window, char key) {
    // The key that gives the character, and Shift where it is the key's second symbol ("+" is
    // shifted "=" on a US keyboard).
    const auto symbol = static_cast<KeySym>(static_cast<unsigned char>(key));
    int low, high, perCode;
    XDisplayKeycodes(display_, &low, &high);
    KeySym* map = XGetKeyboardMapping(display_, low, high - low + 1, &perCode);
    KeyCode code = 0;
    unsigned state = 0;
    for (int level = 0; level < 2 && code == 0; ++level) {
        for (int at = low; at <= high && code == 0 && level < perCode; ++at) {
            if (map[(at - low) * perCode + level] == symbol) {
                code = static_cast<KeyCode>(at);
                state = level == 1 ? ShiftMask : 0;
            }
        }
    }
    XFree(map);
    if (code == 0) {
        return;
    }
    XKeyEvent event = {};
    event.display = display_;
    event.window = window;
    event.root = DefaultRootWindow(display_);
    event.time = CurrentTime;
    event.x = event.y = event.x_root = event.y_root = 1;
    event.same_screen = True;
    event.state = state;
    event.keycode = code;
    for (const int type : {KeyPress, KeyRelease}) {
        event.type = type;
        XSendEvent(display_, window, False, type == KeyPress ? KeyPressMask : KeyReleaseMask,
                   reinterpret_cast<XEvent*>(&event));
    }
    XSync(display_, False);
}

void WindowLink::Raise(unsigned long window) {
    XRaiseWindow(display_, window);
    XSync(display_, False);
}

void WindowLink::OfferFocus(unsigned long window) {
    const Atom takeFocus = XInternAtom(display_, "WM_TAKE_FOCUS", False);
    Atom* protocols = nullptr;
    int count = 0;
    bool takesIt = false;
    if (XGetWMProtocols(display_, window, &protocols, &count) != 0) {
        takesIt = std::find(protocols, protocols + count, takeFocus) != protocols + count;
        XFree(protocols);
    }
    if (takesIt) {
        SendProtocol(window, "WM_TAKE_FOCUS");
    }
}

void WindowLink::Close(unsigned long window) {
    SendProtocol(window, "WM_DELETE_WINDOW");
}

void WindowLink::SendProtocol(unsigned long window, const char* protocol) {
    XClientMessageEvent message = {};
    message.type = ClientMessage;
    message.window = window;
    message.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    message.format = 32;
    message.data.l[0] = static_cast<long>(XInternAtom(display_, protocol, False));
    message.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, reinterpret_cast<XEvent*>(&message));
    XSync(display_, False);
}
