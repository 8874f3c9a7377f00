// The driver's line to an X server: which Embervane windows there are, a key sent to one window
// and to no other, and the close that a window manager asks for. Windows are X ids.
#pragma once

#include <set>
#include <string>

class WindowLink {
public:
    // Connects to `display`; an empty string, or why not.
    std::string Open(const std::string& display);
    // Disconnects, before the server goes: a connection lost first would end this process.
    void Disconnect();
    ~WindowLink() { Disconnect(); }

    // Every Embervane window on the server now, shown or not: its class says Embervane, or its
    // title starts with it.
    std::set<unsigned long> ProgramWindows();
    // A shown Embervane window that is not among `before`, or 0.
    unsigned long NewShownWindow(const std::set<unsigned long>& before);

    // Presses and releases the key of the character `key` in `window` alone: the event goes to
    // that window, whatever holds the focus, and no other window hears it.
    void Key(unsigned long window, char key);
    // Puts `window` above the others: a program whose window is wholly covered draws no frames.
    // The focus stays where it is.
    void Raise(unsigned long window);
    // Offers `window` the input focus as a window manager does to a window that takes it itself
    // (WM_TAKE_FOCUS among its protocols, as under Wine): such a window hears no key, sent or
    // typed, until it has taken the focus. Any other window, and the focus, are left as they are.
    void OfferFocus(unsigned long window);
    // Asks `window` to close, as a window manager's close button does.
    void Close(unsigned long window);

private:
    // Sends `window` the WM_PROTOCOLS message of `protocol`, as a window manager does.
    void SendProtocol(unsigned long window, const char* protocol);

    struct _XDisplay* display_ = nullptr;
};
