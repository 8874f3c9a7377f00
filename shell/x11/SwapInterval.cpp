// Swap interval through the GLX extensions, looked up at run time. Kept apart from the display
// callback: Xlib's headers define a type of that name.
#include "shell/x11/SwapInterval.h"

#include <GL/glx.h>

#include "program/SwapControl.h"

namespace {

const char* Extensions(::Display* display) {
    return glXQueryExtensionsString(display, DefaultScreen(display));
}

template <typename Function>
Function Lookup(const char* name) {
    return reinterpret_cast<Function>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

}  // namespace

void DisableSwapWait() {
    ::Display* display = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (display == nullptr || drawable == 0) {
        return;
    }
    using SwapIntervalMesa = int (*)(unsigned);
    using SwapIntervalSgi = int (*)(int);
    for (const SwapControl control : SwapSetters(Extensions(display))) {
        if (control == SwapControl::kExt && DisableSwapWaitOf(display, drawable)) {
            return;
        }
        if (control == SwapControl::kMesa) {
            if (auto setInterval = Lookup<SwapIntervalMesa>("glXSwapIntervalMESA")) {
                setInterval(0);
                return;
            }
        }
        if (control == SwapControl::kSgi) {
            if (auto setInterval = Lookup<SwapIntervalSgi>("glXSwapIntervalSGI")) {
                setInterval(0);
                return;
            }
        }
    }
}

bool DisableSwapWaitOf(void* xDisplay, unsigned long drawable) {
    auto* display = static_cast<::Display*>(xDisplay);
    using SwapIntervalExt = void (*)(::Display*, GLXDrawable, int);
    if (HasExtension(Extensions(display), "GLX_EXT_swap_control")) {
        if (auto setInterval = Lookup<SwapIntervalExt>("glXSwapIntervalEXT")) {
            setInterval(display, drawable, 0);
            return true;
        }
    }
    return false;
}

int SwapIntervalInForce() {
    ::Display* display = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (display == nullptr || drawable == 0) {
        return -1;
    }
    using GetSwapIntervalMesa = int (*)();
    const SwapControl reader = SwapReader(Extensions(display));
    if (reader == SwapControl::kExt) {
        unsigned interval = 0;
        glXQueryDrawable(display, drawable, GLX_SWAP_INTERVAL_EXT, &interval);
        return static_cast<int>(interval);
    }
    if (reader == SwapControl::kMesa) {
        if (auto getInterval = Lookup<GetSwapIntervalMesa>("glXGetSwapIntervalMESA")) {
            return getInterval();
        }
    }
    return -1;
}
