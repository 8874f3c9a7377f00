// The TGA reader: header checks, bounds checks against the bytes actually there, pixel copy.
#include "image/Image.h"

#include <climits>
#include <cstring>
#include <new>

#include "image/ByteStream.h"

namespace {

constexpr int kTypeTrueColour = 2;
constexpr int kTypeGrey = 3;

bool IsKnownDepth(int bitsPerPixel) {
    return bitsPerPixel == 8 || bitsPerPixel == 24 || bitsPerPixel == 32;
}

// Swaps the first and third bytes of each 4-byte pixel, whole pixels at a time: the compiler
// vectorises this, not the byte-wise exchange. Compiled once for each instruction set below.
[[gnu::always_inline]] inline void SwapWords(const uint8_t* from, uint8_t* to, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        uint32_t pixel;
        std::memcpy(&pixel, from + 4 * i, 4);
        pixel = (pixel & 0xFF00FF00u) | ((pixel >> 16) & 0xFFu) | ((pixel & 0xFFu) << 16);
        std::memcpy(to + 4 * i, &pixel, 4);
    }
}

void SwapWordsBaseline(const uint8_t* from, uint8_t* to, size_t count) {
    SwapWords(from, to, count);
}

using SwapWordsFunction = void (*)(const uint8_t*, uint8_t*, size_t);

#if defined(__x86_64__)
// A megapixel picture is swapped at memory speed only with 32-byte vectors; the program is
// built for any x86-64, so the wider version is chosen when the processor has it.
[[gnu::target("avx2")]] void SwapWordsAvx2(const uint8_t* from, uint8_t* to, size_t count) {
    SwapWords(from, to, count);
}

SwapWordsFunction ChooseSwapWords() {
    __builtin_cpu_init();  // the choice may be made while other statics are still being set up
    return __builtin_cpu_supports("avx2") ? SwapWordsAvx2 : SwapWordsBaseline;
}
#else
SwapWordsFunction ChooseSwapWords() {
    return SwapWordsBaseline;
}
#endif

// Copies B, G, R(, A) pixels from `from` to `to` as R, G, B(, A); the two may be the same.
void SwapRedBlue(const uint8_t* from, uint8_t* to, size_t count, int bitsPerPixel) {
    if (bitsPerPixel == 32) {
        static const SwapWordsFunction swapWords = ChooseSwapWords();
        swapWords(from, to, count);
    } else if (bitsPerPixel == 24) {
        for (size_t i = 0; i < count; ++i) {
            const uint8_t blue = from[3 * i];
            const uint8_t green = from[3 * i + 1];
            const uint8_t red = from[3 * i + 2];
            to[3 * i] = red;
            to[3 * i + 1] = green;
            to[3 * i + 2] = blue;
        }
    }
}

}  // namespace

Image::~Image() {
    ReleasePixels();
}

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

int Image::ReadHeader(const uint8_t* header, uint64_t size, PixelSpan* span) {
    if (header[1] != 0) {
        return kImageBadType;
    }
    if (header[2] != kTypeTrueColour && header[2] != kTypeGrey) {
        return kImageBadType;
    }
    // From here on the header describes the new picture, so a buffer held from an earlier load
    // no longer matches it and is released on every path.
    ReleasePixels();
    width = header[12] + 256 * header[13];
    height = header[14] + 256 * header[15];
    bitsPerPixel = header[16];
    // 65535 x 65535 overflows an int: such an image is refused below, before any allocation.
    const int64_t count = static_cast<int64_t>(width) * height;
    pixelCount = count > INT_MAX ? 0 : static_cast<int>(count);
    if (!IsKnownDepth(bitsPerPixel)) {
        return kImageBadDepth;
    }
    span->start = kTgaHeaderSize + header[0];
    span->bytes = static_cast<uint64_t>(count) * static_cast<uint64_t>(bitsPerPixel / 8);
    if (count > INT_MAX || span->start > size || span->bytes > size - span->start) {
        return kImageOutOfMemory;
    }
    return kImageOk;
}

int Image::Load(const char* fileName) {
    if (fileName == nullptr) {
        return kImageCannotOpen;
    }
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        return kImageCannotOpen;
    }
    const int result = Read(file);
    std::fclose(file);
    return result;
}

int Image::Decode(const uint8_t* data, size_t size) {
    if (data == nullptr) {
        return kImageOutOfMemory;
    }
    // The bytes are read as a stream, so that they take the very checks and reads that a file
    // takes, a header too short among them (a stream of no bytes reads none).
    std::FILE* bytes = OpenByteStream(data, size);
    if (bytes == nullptr) {
        return kImageOutOfMemory;
    }
    const int result = Read(bytes);
    std::fclose(bytes);
    return result;
}

int Image::Read(std::FILE* file) {
    // The pixels are read straight into their own buffer: one allocation and no second copy
    // of a file that may be megabytes long. Every length is checked against the file's.
    const long length = FileLength(file);
    uint8_t header[kTgaHeaderSize];
    PixelSpan span;
    int result = kImageCannotOpen;
    if (length < 0) {
        // A stream without a length (a directory, a pipe) cannot be read as a picture.
    } else if (std::fread(header, 1, kTgaHeaderSize, file) != kTgaHeaderSize) {
        result = kImageOutOfMemory;
    } else if ((result = ReadHeader(header, static_cast<uint64_t>(length), &span)) == kImageOk) {
        uint8_t* buffer = new (std::nothrow) uint8_t[span.bytes];
        // The file may have shrunk since its length was taken: what did not arrive is refused.
        if (buffer == nullptr || std::fseek(file, static_cast<long>(span.start), SEEK_SET) != 0 ||
            std::fread(buffer, 1, span.bytes, file) != span.bytes) {
            delete[] buffer;
            result = kImageOutOfMemory;
        } else {
            SwapRedBlue(buffer, buffer, static_cast<size_t>(pixelCount), bitsPerPixel);
            pixels = buffer;
        }
    }
    return result;
}

uint8_t* Image::CopyPixels(const uint8_t* source, int count) const {
    if (!IsKnownDepth(bitsPerPixel) || count < 0) {
        return nullptr;
    }
    const size_t bytes = static_cast<size_t>(count) * static_cast<size_t>(bitsPerPixel / 8);
    uint8_t* copy = new (std::nothrow) uint8_t[bytes];
    if (copy == nullptr) {
        return nullptr;
    }
    // Grey-scale bytes are copied as they are; colour pixels are swapped on their way across,
    // in the same single pass.
    if (bitsPerPixel == 8 && bytes > 0) {
        std::memcpy(copy, source, bytes);
    }
    SwapRedBlue(source, copy, static_cast<size_t>(count), bitsPerPixel);
    return copy;
}
