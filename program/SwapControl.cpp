// The choice of the swap interval's extension.
#include "program/SwapControl.h"

#include <cstring>
#include <utility>

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

std::vector<SwapControl> SwapSetters(const char* extensions) {
    std::vector<SwapControl> setters;
    for (const auto& [control, name] : {std::pair{SwapControl::kExt, "GLX_EXT_swap_control"},
                                        std::pair{SwapControl::kMesa, "GLX_MESA_swap_control"},
                                        std::pair{SwapControl::kSgi, "GLX_SGI_swap_control"}}) {
        if (HasExtension(extensions, name)) {
            setters.push_back(control);
        }
    }
    return setters;
}

SwapControl SwapReader(const char* extensions) {
    if (HasExtension(extensions, "GLX_EXT_swap_control")) {
        return SwapControl::kExt;
    }
    return HasExtension(extensions, "GLX_MESA_swap_control") ? SwapControl::kMesa
                                                             : SwapControl::kNone;
}
