// The TGA decoder and the GL-free half of the texture, against hand-built bytes.
#include "image/Image.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <numeric>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "TgaBuilder.h"
#include "image/Texture.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Held(const Image& image) {
    const size_t bytes = static_cast<size_t>(image.pixelCount) * (image.bitsPerPixel / 8);
    return image.pixels == nullptr ? Bytes{} : Bytes(image.pixels, image.pixels + bytes);
}

// A row of `count` pixels with distinct bytes, as stored (B, G, R(, A)) and as the GL wants it.
struct PixelRow {
    Bytes stored, wanted;
};

PixelRow DistinctPixels(int count, int pixelBytes) {
    PixelRow row{Bytes(static_cast<size_t>(count) * pixelBytes), {}};
    std::iota(row.stored.begin(), row.stored.end(), 1);
    row.wanted = row.stored;
    for (size_t i = 0; i < row.wanted.size(); i += pixelBytes) {
        std::swap(row.wanted[i], row.wanted[i + 2]);
    }
    return row;
}

// A 1x1 24-bit picture, held before every decode below so that what a decode keeps, drops or
// replaces shows.
const Bytes kOnePixel = Tga(2, 1, 1, 24, {0x01, 0x02, 0x03});

TEST(TgaDecode, AcceptedFilesReplaceTheHeldPictureWithGlOrderedPixels) {
    Bytes grey(256 * 128);
    std::iota(grey.begin(), grey.end(), 0);
    // Long enough for the widest vector of pixels and an odd tail after it.
    const PixelRow wide32 = DistinctPixels(61, 4);
    const PixelRow wide24 = DistinctPixels(61, 3);
    const struct {
        const char* what;
        Bytes file;
        std::vector<int> sides;  // width, height, bits per pixel
        Bytes pixels;
    } rows[] = {
        {"24-bit B,G,R to R,G,B", Tga(2, 1, 1, 24, {1, 2, 3}), {1, 1, 24}, {3, 2, 1}},
        {"32-bit: A stays last", Tga(2, 1, 1, 32, {1, 2, 3, 4}), {1, 1, 32}, {3, 2, 1, 4}},
        {"8-bit as is", Tga(2, 2, 1, 8, {0x05, 0xFA}), {2, 1, 8}, {0x05, 0xFA}},
        {"61 pixels of 32 bits", Tga(2, 61, 1, 32, wide32.stored), {61, 1, 32}, wide32.wanted},
        {"61 pixels of 24 bits", Tga(2, 61, 1, 24, wide24.stored), {61, 1, 24}, wide24.wanted},
        {"ID skipped, tail ignored", Tga(2, 1, 1, 24, {1, 2, 3, 4}, 5), {1, 1, 24}, {3, 2, 1}},
        {"sides little-endian", Tga(3, 256, 128, 8, grey), {256, 128, 8}, grey},
        {"empty picture", Tga(2, 0, 0, 24), {0, 0, 24}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Image image;
        ASSERT_EQ(image.Decode(kOnePixel.data(), kOnePixel.size()), kImageOk);
        ASSERT_EQ(image.Decode(row.file.data(), row.file.size()), kImageOk);
        EXPECT_EQ((std::vector<int>{image.width, image.height, image.bitsPerPixel}), row.sides);
        EXPECT_NE(image.pixels, nullptr);
        EXPECT_EQ(Held(image), row.pixels);
    }
}

TEST(TgaDecode, RefusalsKeepThePictureUntilTheHeaderIsReadAndDropItAfter) {
    Bytes oneShort = Tga(2, 2, 2, 24, Bytes(12, 0x80));
    Bytes longId = Tga(2, 1, 1, 24, {}, 200);  // pixels missing, and the ID one byte short
    oneShort.pop_back();
    longId.pop_back();
    const struct {
        const char* what;
        Bytes file;
        int result;
        bool kept;               // the 1x1 picture held before; else no pixels
        std::vector<int> sides;  // width, height, bits per pixel afterwards
    } rows[] = {
        {"empty data", {}, kImageOutOfMemory, true, {1, 1, 24}},
        {"header one byte short", Bytes(17, 0), kImageOutOfMemory, true, {1, 1, 24}},
        {"colour map", Tga(2, 1, 1, 24, {1, 2, 3}, 0, 1), kImageBadType, true, {1, 1, 24}},
        {"colour-mapped type 1", Tga(1, 1, 1, 8, {1}), kImageBadType, true, {1, 1, 24}},
        {"run-length type 10", Tga(10, 1, 1, 24, {1, 2, 3}), kImageBadType, true, {1, 1, 24}},
        {"16 bits per pixel", Tga(2, 3, 2, 16, Bytes(12, 0x80)), kImageBadDepth, false, {3, 2, 16}},
        {"ID runs past the end", longId, kImageOutOfMemory, false, {1, 1, 24}},
        {"pixels one byte short", oneShort, kImageOutOfMemory, false, {2, 2, 24}},
        // 65535 * 65535 * 4 bytes: any attempt to copy them reads far past these 18.
        {"65535 x 65535", Tga(2, 65535, 65535, 32), kImageOutOfMemory, false, {65535, 65535, 32}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Image image;
        ASSERT_EQ(image.Decode(kOnePixel.data(), kOnePixel.size()), kImageOk);
        const uint8_t* before = image.pixels;
        // In a heap block of exactly its size (non-null even when empty): the address
        // sanitizer reports any read past it.
        std::unique_ptr<uint8_t[]> block(new uint8_t[row.file.size()]);
        std::copy(row.file.begin(), row.file.end(), block.get());
        EXPECT_EQ(image.Decode(block.get(), row.file.size()), row.result);
        EXPECT_EQ(image.pixels, row.kept ? before : nullptr);
        EXPECT_EQ(Held(image), (row.kept ? Bytes{3, 2, 1} : Bytes{}));
        EXPECT_EQ((std::vector<int>{image.width, image.height, image.bitsPerPixel}), row.sides);
    }
    Image image;
    EXPECT_EQ(image.Decode(nullptr, 100), kImageOutOfMemory);
}

TEST(TgaLoad, ReadsTheFileAndRefusesMissingOrEmptyOnes) {
    Image image;
    const PixelRow wide = DistinctPixels(61, 4);
    ASSERT_EQ(image.Load(TempFile("wide.tga", Tga(2, 61, 1, 32, wide.stored)).path()), kImageOk);
    EXPECT_EQ(Held(image), wide.wanted);
    const TempFile file("load.tga", Tga(2, 1, 1, 24, {0x10, 0x20, 0x30}));
    ASSERT_EQ(image.Load(file.path()), kImageOk);
    EXPECT_EQ(Held(image), (Bytes{0x30, 0x20, 0x10}));
    EXPECT_EQ(image.Load(nullptr), kImageCannotOpen);
    EXPECT_EQ(image.Load("/nonexistent/embervane/missing.tga"), kImageCannotOpen);
    EXPECT_EQ(Held(image), (Bytes{0x30, 0x20, 0x10}));  // a file never opened changes nothing
    EXPECT_EQ(image.Load(TempFile("empty.tga", {}).path()), kImageOutOfMemory);
}

TEST(TextureLoad, FormatsFollowDepthOnlyOnSuccessAndSidesArePowersOfTwoUpTo1024) {
    constexpr int kBgr = 0x80E0;
    // One texture through every row in turn: a failure must leave the previous row's values.
    const struct {
        int bits, name, formatOverride, result;
        std::vector<int> after;  // texture name, pixel format, internal format
    } rows[] = {
        {16, 5, kBgr, kImageBadDepth, {0, 0, 0}},
        {8, 9, 0, kImageOk, {9, kGlAlpha, kGlAlpha}},
        {32, 9, 0, kImageOk, {9, kGlRgba, kGlRgba}},
        {24, 5, kBgr, kImageOk, {5, kBgr, kGlRgb}},
        {16, 6, kGlRgba, kImageBadDepth, {5, kBgr, kGlRgb}},
    };
    Texture texture;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bits);
        const TempFile file("depth.tga", Tga(2, 2, 2, row.bits, Bytes(row.bits / 2, 0x80)));
        EXPECT_EQ(texture.Load(file.path(), row.name, row.formatOverride), row.result);
        EXPECT_EQ((std::vector<int>{static_cast<int>(texture.textureName), texture.pixelFormat,
                                    texture.internalFormat}),
                  row.after);
    }
    for (const int n : {0, 1, 2, 3, 6, 512, 1023, 1024, 2048, -2, INT_MIN, 1 << 30}) {
        EXPECT_EQ(IsPowerOfTwo(n), n == 1 || n == 2 || n == 512 || n == 1024) << n;
    }
}

}  // namespace
