// Byte builder for TGA files in tests, and temporary files that remove themselves.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

// The 18 header bytes, `idLength` ID bytes of 0xEE, then `pixels`; sides are little-endian.
inline std::vector<uint8_t> Tga(int type, int width, int height, int bits,
                                const std::vector<uint8_t>& pixels = {}, int idLength = 0,
                                int colourMapType = 0) {
    const int header[18] = {
        idLength,    colourMapType, type,         0,           0,    0, 0, 0, 0, 0, 0, 0,
        width & 255, width >> 8,    height & 255, height >> 8, bits, 0};
    // Sized once and filled in place: growing it piecewise trips a false -Warray-bounds in GCC 12.
    std::vector<uint8_t> bytes(18 + idLength + pixels.size(), 0xEE);
    std::copy(header, header + 18, bytes.begin());
    std::copy(pixels.begin(), pixels.end(), bytes.begin() + 18 + idLength);
    return bytes;
}

// A file of `bytes` under TEST_TMPDIR (or /tmp), its name made unique to this process so that
// test processes run side by side keep apart; removed when the test lets go of it.
class TempFile {
public:
    TempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        const char* dir = std::getenv("TEST_TMPDIR");
        path_ = std::string(dir != nullptr ? dir : "/tmp") + "/embervane-" +
                std::to_string(getpid()) + "-" + name;
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    }
    ~TempFile() { std::remove(path_.c_str()); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};
