// The TGA reader: header checks, bounds checks against the bytes actually read, pixel copy.
#include "image/Image.h"

#include <climits>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr int kTypeTrueColour = 2;
constexpr int kTypeGrey = 3;

// Swaps bytes 0 and 2 of every pixel, turning B, G, R into R, G, B.
void SwapRedBlue(uint8_t* pixel, size_t count, size_t stride) {
    for (size_t i = 0; i < count; ++i, pixel += stride) {
        const uint8_t blue = pixel[0];
        pixel[0] = pixel[2];
        pixel[2] = blue;
    }
}

}  // namespace

Image::~Image() { ReleasePixels(); }

void Image::ReleasePixels() {
    delete[] pixels;
    pixels = nullptr;
}

long FileLength(std::FILE* file) {
    const long position = std::ftell(file);
    if (position < 0 || std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const long length = std::ftell(file);
    std::fseek(file, position, SEEK_SET);
    return length;
}

int Image::Load(const char* fileName) {
    if (fileName == nullptr) {
        return kImageCannotOpen;
    }
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        return kImageCannotOpen;
    }
    const long length = FileLength(file);
    if (length < 0) {
        std::fclose(file);
        return kImageCannotOpen;
    }
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[static_cast<size_t>(length)]);
    if (buffer == nullptr) {
        std::fclose(file);
        return kImageOutOfMemory;
    }
    // The file may have shrunk since its length was taken: decode only what arrived.
    const size_t bytesRead = std::fread(buffer.get(), 1, static_cast<size_t>(length), file);
    std::fclose(file);
    return Decode(buffer.get(), bytesRead);
}

int Image::Decode(const uint8_t* data, size_t size) {
    if (data == nullptr || size < kTgaHeaderSize) {
        return kImageOutOfMemory;
    }
    if (data[1] != 0) {
        return kImageBadType;
    }
    if (data[2] != kTypeTrueColour && data[2] != kTypeGrey) {
        return kImageBadType;
    }
    // From here on the header describes the new picture, so a buffer held from an earlier load
    // no longer matches it and is released on every path.
    ReleasePixels();
    width = data[12] + 256 * data[13];
    height = data[14] + 256 * data[15];
    bitsPerPixel = data[16];
    // 65535 x 65535 overflows an int: such an image is refused below before pixelCount is used.
    const int64_t count = static_cast<int64_t>(width) * height;
    pixelCount = count > INT_MAX ? 0 : static_cast<int>(count);
    if (bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32) {
        return kImageBadDepth;
    }
    const uint64_t pixelBytes = static_cast<uint64_t>(count) * (bitsPerPixel / 8);
    const uint64_t pixelStart = kTgaHeaderSize + data[0];
    if (count > INT_MAX || pixelStart > size || pixelBytes > size - pixelStart) {
        return kImageOutOfMemory;
    }
    uint8_t* copy = CopyPixels(data + pixelStart, pixelCount);
    if (copy == nullptr) {
        return kImageOutOfMemory;
    }
    pixels = copy;
    return kImageOk;
}

uint8_t* Image::CopyPixels(const uint8_t* source, int count) const {
    if ((bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32) || count < 0) {
        return nullptr;
    }
    const size_t stride = static_cast<size_t>(bitsPerPixel / 8);
    const size_t bytes = static_cast<size_t>(count) * stride;
    uint8_t* copy = new (std::nothrow) uint8_t[bytes];
    if (copy == nullptr) {
        return nullptr;
    }
    if (bytes > 0) {
        std::memcpy(copy, source, bytes);
    }
    if (stride >= 3) {
        SwapRedBlue(copy, static_cast<size_t>(count), stride);
    }
    return copy;
}
