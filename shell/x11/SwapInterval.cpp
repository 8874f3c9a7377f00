// Swap interval through the GLX extensions, looked up at run time. Kept apart from the display
// callback: Xlib's headers define a type of that name.
#include "shell/x11/SwapInterval.h"

#include <cstring>

#include <GL/glx.h>

namespace {

bool HasExtension(const char* extensions, const char* name) {
    if (extensions == nullptr) {
        return false;
    }
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(extensions, name); at != nullptr;
         at = std::strstr(at + length, name)) {
        const bool startsWord = at == extensions || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

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
    if (DisableSwapWaitOf(display, drawable)) {
        return;
    }
    const char* extensions = Extensions(display);
    using SwapIntervalMesa = int (*)(unsigned);
    using SwapIntervalSgi = int (*)(int);
    if (HasExtension(extensions, "GLX_MESA_swap_control")) {
        if (auto setInterval = Lookup<SwapIntervalMesa>("glXSwapIntervalMESA")) {
            setInterval(0);
            return;
        }
    }
    // The oldest extension refuses 0 on some drivers; asking costs nothing.
    if (HasExtension(extensions, "GLX_SGI_swap_control")) {
        if (auto setInterval = Lookup<SwapIntervalSgi>("glXSwapIntervalSGI")) {
            setInterval(0);
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
    if (HasExtension(Extensions(display), "GLX_EXT_swap_control")) {
        unsigned interval = 0;
        glXQueryDrawable(display, drawable, GLX_SWAP_INTERVAL_EXT, &interval);
        return static_cast<int>(interval);
    }
    using GetSwapIntervalMesa = int (*)();
    if (HasExtension(Extensions(display), "GLX_MESA_swap_control")) {
        if (auto getInterval = Lookup<GetSwapIntervalMesa>("glXGetSwapIntervalMESA")) {
            return getInterval();
        }
    }
    return -1;
}
