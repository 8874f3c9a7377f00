// Swap interval through WGL_EXT_swap_control, looked up at run time in the current context.
#include "shell/SwapInterval.h"

#include <GL/freeglut.h>

#include "program/SwapControl.h"

namespace {

using SwapIntervalExt = BOOL(WINAPI*)(int);
using GetSwapIntervalExt = int(WINAPI*)();

// Drivers name the WGL extensions in the GL string too, where a current context can read them.
bool HasSwapControl() {
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return wglGetCurrentContext() != nullptr && HasExtension(extensions, "WGL_EXT_swap_control");
}

template <typename Function>
Function Lookup(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(wglGetProcAddress(name)));
}

}  // namespace

void DisableSwapWait() {
    if (HasSwapControl()) {
        if (auto setInterval = Lookup<SwapIntervalExt>("wglSwapIntervalEXT")) {
            setInterval(0);
        }
    }
}

int SwapIntervalInForce() {
    if (HasSwapControl()) {
        if (auto getInterval = Lookup<GetSwapIntervalExt>("wglGetSwapIntervalEXT")) {
            return getInterval();
        }
    }
    return -1;
}
