// Byte builders for TGA files in tests: a header with its fields, pixel bytes, files on disk.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

struct TgaHeader {
    uint8_t idLength = 0;
    uint8_t colourMapType = 0;
    uint8_t imageType = 2;
    int width = 1;
    int height = 1;
    uint8_t bitsPerPixel = 24;
    uint8_t descriptor = 0;
};

// The 18 header bytes, the ID field (idLength bytes of 0xEE) and the given pixel bytes.
inline std::vector<uint8_t> TgaBytes(const TgaHeader& h, const std::vector<uint8_t>& pixels = {}) {
    // Sized once and filled in place: growing it piecewise trips a false -Warray-bounds in GCC 12.
    std::vector<uint8_t> bytes(18 + h.idLength + pixels.size(), 0xEE);
    bytes[0] = h.idLength;
    bytes[1] = h.colourMapType;
    bytes[2] = h.imageType;
    std::fill(bytes.begin() + 3, bytes.begin() + 12, 0);  // colour map and origin
    bytes[12] = static_cast<uint8_t>(h.width & 0xFF);
    bytes[13] = static_cast<uint8_t>(h.width >> 8);
    bytes[14] = static_cast<uint8_t>(h.height & 0xFF);
    bytes[15] = static_cast<uint8_t>(h.height >> 8);
    bytes[16] = h.bitsPerPixel;
    bytes[17] = h.descriptor;
    std::copy(pixels.begin(), pixels.end(), bytes.begin() + 18 + h.idLength);
    return bytes;
}

// A whole image: header plus width * height pixels of `bitsPerPixel`, each byte `fill`.
inline std::vector<uint8_t> TgaImage(int width, int height, uint8_t bitsPerPixel,
                                     uint8_t fill = 0x80, uint8_t imageType = 2) {
    TgaHeader h;
    h.width = width;
    h.height = height;
    h.bitsPerPixel = bitsPerPixel;
    h.imageType = imageType;
    const size_t bytes = static_cast<size_t>(width) * height * (bitsPerPixel / 8);
    return TgaBytes(h, std::vector<uint8_t>(bytes, fill));
}

// Writes bytes to a file under the test's temporary folder and returns its path. The process id
// in the name keeps test processes run side by side, from one build or several, apart.
inline std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    const char* dir = std::getenv("TEST_TMPDIR");
    std::string path = std::string(dir != nullptr ? dir : "/tmp") + "/embervane-" +
                       std::to_string(getpid()) + "-" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file != nullptr) {
        if (!bytes.empty()) {  // an empty vector's data() may be null, which fwrite must not get
            std::fwrite(bytes.data(), 1, bytes.size(), file);
        }
        std::fclose(file);
    }
    return path;
}

// A file written by WriteTempFile and removed when the test lets go of it, failed or not.
class TempFile {
public:
    TempFile(const std::string& name, const std::vector<uint8_t>& bytes)
        : path_(WriteTempFile(name, bytes)) {}
    ~TempFile() { std::remove(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};
