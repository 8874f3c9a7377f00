// The bytes themselves, through the C library's memory stream: no copy.
#include "image/ByteStream.h"

std::FILE* OpenByteStream(const uint8_t* data, size_t size) {
    // The stream only reads, whatever its signature says.
    return fmemopen(const_cast<uint8_t*>(data), size, "rb");
}
