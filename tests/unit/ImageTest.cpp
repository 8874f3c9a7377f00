// The TGA reader and the GL-free half of the texture, against hand-built bytes.
#include "image/Image.h"

#include <climits>
#include <fstream>
#include <memory>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "image/Texture.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The 18 header bytes, `idLength` ID bytes, then `pixels`; the sides are little-endian.
Bytes Tga(int type, int width, int height, int bits, const Bytes& pixels = {}, int idLength = 0,
          int colourMapType = 0) {
    // clang-format off
    const int header[18] = {idLength, colourMapType, type, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                            width & 255, width >> 8, height & 255, height >> 8, bits, 0};
    // clang-format on
    Bytes bytes(18 + idLength + pixels.size(), 0xEE);
    std::copy(header, header + 18, bytes.begin());
    std::copy(pixels.begin(), pixels.end(), bytes.begin() + 18 + idLength);
    return bytes;
}

// A file of `bytes`, named apart from other test processes; returns its path.
std::string File(const std::string& name, const Bytes& bytes) {
    const std::string path = ::testing::TempDir() + std::to_string(getpid()) + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return path;
}

Bytes Held(const Image& image) {
    const size_t bytes = static_cast<size_t>(image.pixelCount) * (image.bitsPerPixel / 8);
    return image.pixels == nullptr ? Bytes{} : Bytes(image.pixels, image.pixels + bytes);
}

// 61 pixels of distinct bytes, enough for the widest vector swap and an odd tail after it: as
// stored (B, G, R(, A)) and as GL wants them (R, G, B(, A)).
std::pair<Bytes, Bytes> Distinct(int pixelBytes) {
    Bytes stored(61 * pixelBytes);
    std::iota(stored.begin(), stored.end(), 1);
    Bytes wanted = stored;
    for (size_t i = 0; i < wanted.size(); i += pixelBytes) {
        std::swap(wanted[i], wanted[i + 2]);
    }
    return {stored, wanted};
}

TEST(TgaDecode, AcceptsOrRefusesAndKeepsThePictureOnlyUntilTheHeaderIsRead) {
    const Bytes kept = {3, 2, 1};  // the 1x1 picture decoded before each row
    Bytes grey(256 * 128);
    std::iota(grey.begin(), grey.end(), 0);
    const auto [stored32, wanted32] = Distinct(4);
    const auto [stored24, wanted24] = Distinct(3);
    // What, the file, the result, then width, height and bits per pixel, and the pixels held.
    const std::tuple<const char*, Bytes, int, std::vector<int>, Bytes> rows[] = {
        {"8-bit type 2 as is", Tga(2, 2, 1, 8, {5, 250}), kImageOk, {2, 1, 8}, {5, 250}},
        {"61 of 32 bits, A last", Tga(2, 61, 1, 32, stored32), kImageOk, {61, 1, 32}, wanted32},
        {"61 of 24 bits", Tga(2, 61, 1, 24, stored24), kImageOk, {61, 1, 24}, wanted24},
        {"ID skipped, tail ignored", Tga(2, 1, 1, 24, {1, 2, 3, 4}, 5), kImageOk, {1, 1, 24}, kept},
        {"sides little-endian", Tga(3, 256, 128, 8, grey), kImageOk, {256, 128, 8}, grey},
        {"empty picture", Tga(2, 0, 0, 24), kImageOk, {0, 0, 24}, {}},
        {"header one byte short", Bytes(17, 0), kImageOutOfMemory, {1, 1, 24}, kept},
        {"colour map", Tga(2, 1, 1, 24, {1, 2, 3}, 0, 1), kImageBadType, {1, 1, 24}, kept},
        {"run-length type 10", Tga(10, 1, 1, 24, {1, 2, 3}), kImageBadType, {1, 1, 24}, kept},
        {"16 bits per pixel", Tga(2, 3, 2, 16, Bytes(12)), kImageBadDepth, {3, 2, 16}, {}},
        {"ID past the end", Tga(2, 1, 1, 24, {}, 200), kImageOutOfMemory, {1, 1, 24}, {}},
        {"pixels one byte short", Tga(2, 2, 2, 24, Bytes(11)), kImageOutOfMemory, {2, 2, 24}, {}},
        // 65535 * 65535 * 4 bytes: any attempt to copy them reads far past these 18.
        {"65535 x 65535", Tga(2, 65535, 65535, 32), kImageOutOfMemory, {65535, 65535, 32}, {}},
    };
    for (const auto& [what, file, result, sides, pixels] : rows) {
        SCOPED_TRACE(what);
        Image image;
        const Bytes before = Tga(2, 1, 1, 24, {1, 2, 3});
        ASSERT_EQ(image.Decode(before.data(), before.size()), kImageOk);
        // In a heap block of exactly its size: the address sanitizer reports a read past it.
        std::unique_ptr<uint8_t[]> block(new uint8_t[file.size()]);
        std::copy(file.begin(), file.end(), block.get());
        EXPECT_EQ(image.Decode(block.get(), file.size()), result);
        EXPECT_EQ((std::vector<int>{image.width, image.height, image.bitsPerPixel}), sides);
        EXPECT_EQ(Held(image), pixels);
    }
}

TEST(TgaFile, LoadsRefusesMissingFilesCopiesAndTexturesTakeFormatsOnSuccessOnly) {
    // Decode reads its bytes as Load reads a file: only the opening is Load's own.
    const auto [stored, wanted] = Distinct(3);
    Image image;
    ASSERT_EQ(image.Load(File("wide.tga", Tga(2, 61, 1, 24, stored)).c_str()), kImageOk);
    EXPECT_EQ(image.Load(nullptr), kImageCannotOpen);
    EXPECT_EQ(image.Load("/nonexistent/embervane/missing.tga"), kImageCannotOpen);
    EXPECT_EQ(Held(image), wanted);  // a file never opened changes nothing
    // The copy that no load makes, swapped the same way.
    const std::unique_ptr<uint8_t[]> copy(image.CopyPixels(stored.data(), 61));
    EXPECT_EQ(Bytes(copy.get(), copy.get() + stored.size()), wanted);
    constexpr int kBgr = 0x80E0;
    // One texture through every row in turn: a failure leaves the previous row's values.
    // Bits per pixel, name, format override, result; then name, pixel and internal format.
    const std::tuple<int, int, int, int, std::vector<int>> rows[] = {
        {16, 5, kBgr, kImageBadDepth, {0, 0, 0}},
        {8, 9, 0, kImageOk, {9, kGlAlpha, kGlAlpha}},
        {32, 9, 0, kImageOk, {9, kGlRgba, kGlRgba}},
        {24, 5, kBgr, kImageOk, {5, kBgr, kGlRgb}},
        {16, 6, kGlRgba, kImageBadDepth, {5, kBgr, kGlRgb}},
    };
    Texture texture;
    for (const auto& [bits, name, formatOverride, result, after] : rows) {
        const std::string path = File("depth.tga", Tga(2, 2, 2, bits, Bytes(bits / 2)));
        EXPECT_EQ(texture.Load(path.c_str(), name, formatOverride), result);
        EXPECT_EQ((std::vector<int>{static_cast<int>(texture.textureName), texture.pixelFormat,
                                    texture.internalFormat}),
                  after)
            << bits;
    }
    for (const int n : {0, 1, 2, 3, 6, 512, 1023, 1024, 2048, -2, INT_MIN, 1 << 30}) {
        EXPECT_EQ(IsPowerOfTwo(n), n == 1 || n == 2 || n == 512 || n == 1024) << n;
    }
}

}  // namespace
