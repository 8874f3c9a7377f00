// Bytes in memory read as a file, so that a picture in memory takes the very checks and reads
// that a file takes. Each platform has its own way (posix/, win32/), which the build picks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// A stream open for binary reading over the `size` bytes at `data`, which stay the caller's and
// must outlive it; null when none can be made. Close it with std::fclose.
std::FILE* OpenByteStream(const uint8_t* data, size_t size);
