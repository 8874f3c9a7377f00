// Swap interval through the GLX extensions, looked up at run time. Kept apart from the display
// callback: Xlib's headers define a type of that name.
#include "shell/SwapInterval.h"

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
    const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    using SwapIntervalExt = void (*)(::Display*, GLXDrawable, int);
    using SwapIntervalMesa = int (*)(unsigned);
    using SwapIntervalSgi = int (*)(int);
    if (HasExtension(extensions, "GLX_EXT_swap_control")) {
        if (auto setInterval = Lookup<SwapIntervalExt>("glXSwapIntervalEXT")) {
            setInterval(display, drawable, 0);
            return;
        }
    }
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
