// libFuzzer entry point for the TGA reader, through Decode, which reads its bytes exactly as Load
// reads a file: any bytes, decoded, and every pixel byte read back.
#include <cstddef>
#include <cstdint>

#include "image/Image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Image image;
    if (image.Decode(data, size) == kImageOk) {
        // Reading each byte lets the address sanitizer check the buffer's extent against the
        // size the header claims; the sum keeps the reads from being optimised away.
        const size_t bytes = static_cast<size_t>(image.pixelCount) * (image.bitsPerPixel / 8);
        volatile unsigned sum = 0;
        for (size_t i = 0; i < bytes; ++i) {
            sum = sum + image.pixels[i];
        }
    }
    return 0;
}
