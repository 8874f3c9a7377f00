// The line that names a benchmark run, so that two logs can be told apart and matched: the
// program's version, the renderer, the window's size, the count and the swap interval. No GL
// here; the window's set-up reads what the driver says.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

struct RunIdentity {
    std::string version;    // the program's
    std::string renderer;   // GL_RENDERER
    std::string glVersion;  // GL_VERSION
    std::string vendor;     // GL_VENDOR
    int swapInterval;       // frames per swap, as the driver reports it; -1: it does not say
};

// `value` as a logfmt value: as it is when it has no space, quote, equals sign, backslash or
// control character and is not empty; else in double quotes, with \" \\ \n \r \t and \u00XX for
// the rest of the control characters.
std::string LogfmtValue(std::string_view value);

// Writes the line and flushes it, fields in this order:
// run version=1.45 renderer="llvmpipe (LLVM 15.0.6, 256 bits)" gl_version="4.5 (Compatibility
// Profile) Mesa 22.3.6" vendor=Mesa particles=32000 width=640 height=480 swap_interval=0
// with swap_interval=unknown where the driver does not say.
void PrintRunLine(const RunIdentity& identity, int particles, int width, int height,
                  std::FILE* out);
