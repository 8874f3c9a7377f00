// The TGA decoder and the GL-free half of the texture, against hand-built bytes and the data files.
#include "image/Image.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TgaBuilder.h"
#include "image/Texture.h"

namespace {

std::vector<uint8_t> Held(const Image& image) {
    const size_t bytes = static_cast<size_t>(image.pixelCount) * (image.bitsPerPixel / 8);
    return image.pixels == nullptr ? std::vector<uint8_t>{}
                                   : std::vector<uint8_t>(image.pixels, image.pixels + bytes);
}

TgaHeader Header(uint8_t type, int width, int height, uint8_t bits) {
    TgaHeader h;
    h.imageType = type;
    h.width = width;
    h.height = height;
    h.bitsPerPixel = bits;
    return h;
}

// A 1x1 24-bit picture held before each refusal, so that what a refusal keeps or drops shows.
void LoadOnePixel(Image& image) {
    const std::vector<uint8_t> file = TgaBytes(TgaHeader{}, {0x01, 0x02, 0x03});
    ASSERT_EQ(image.Decode(file.data(), file.size()), kImageOk);
}

struct DecodeCase {
    const char* what;
    std::vector<uint8_t> file;
    int sides[3];  // width, height, bits per pixel
    std::vector<uint8_t> pixels;
};

TEST(TgaDecode, AcceptedFilesGiveHeaderValuesAndGlOrderedPixels) {
    TgaHeader withId;
    withId.idLength = 5;
    TgaHeader topLeft = Header(3, 1, 2, 8);
    topLeft.descriptor = 0x20;
    std::vector<uint8_t> footer = TgaBytes(TgaHeader{}, {0x10, 0x20, 0x30});
    footer.insert(footer.end(), {0, 0, 0, 0, 0, 0, 0, 0, 'E', 'N', 'D', '.', 0});
    // 256 x 128 spelled out byte by byte: little-endian 00 01 and 80 00.
    std::vector<uint8_t> wide = {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x01, 0x80, 0x00, 8, 0};
    wide.resize(18 + 256 * 128, 0x44);
    wide.back() = 0x99;

    const auto tga = [](uint8_t type, int w, int h, uint8_t bits, std::vector<uint8_t> px) {
        return TgaBytes(Header(type, w, h, bits), px);
    };
    const DecodeCase cases[] = {
        {"24-bit B,G,R to R,G,B",
         tga(2, 1, 1, 24, {0x10, 0x20, 0x30}),
         {1, 1, 24},
         {0x30, 0x20, 0x10}},
        {"32-bit alpha stays last",
         tga(2, 1, 1, 32, {0x10, 0x20, 0x30, 0x40}),
         {1, 1, 32},
         {0x30, 0x20, 0x10, 0x40}},
        {"8-bit grey as is", tga(3, 2, 1, 8, {0x05, 0xFA}), {2, 1, 8}, {0x05, 0xFA}},
        {"8-bit true colour as is", tga(2, 2, 1, 8, {0x05, 0xFA}), {2, 1, 8}, {0x05, 0xFA}},
        {"grey type with 24 bits", tga(3, 1, 1, 24, {1, 2, 3}), {1, 1, 24}, {3, 2, 1}},
        {"ID skipped, pixels at 23", TgaBytes(withId, {1, 2, 3}), {1, 1, 24}, {3, 2, 1}},
        {"bytes after pixels ignored", footer, {1, 1, 24}, {0x30, 0x20, 0x10}},
        {"top-left origin, file row order", TgaBytes(topLeft, {1, 2}), {1, 2, 8}, {1, 2}},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.what);
        Image image;
        ASSERT_EQ(image.Decode(c.file.data(), c.file.size()), kImageOk);
        EXPECT_EQ(image.width, c.sides[0]);
        EXPECT_EQ(image.height, c.sides[1]);
        EXPECT_EQ(image.bitsPerPixel, c.sides[2]);
        EXPECT_EQ(image.pixelCount, c.sides[0] * c.sides[1]);
        EXPECT_EQ(Held(image), c.pixels);
    }
    EXPECT_EQ(TgaBytes(TgaHeader{}, {0x10, 0x20, 0x30}).size(), 21u);

    Image image;
    ASSERT_EQ(image.Decode(wide.data(), wide.size()), kImageOk);
    EXPECT_EQ(image.width, 256);
    EXPECT_EQ(image.height, 128);
    EXPECT_EQ(image.pixelCount, 32768);
    EXPECT_EQ(image.pixels[0], 0x44);
    EXPECT_EQ(image.pixels[32767], 0x99);
}

TEST(TgaDecode, EmptyPictureHoldsANonNullBuffer) {
    const std::vector<uint8_t> file = TgaBytes(Header(2, 0, 0, 24));
    Image image;
    ASSERT_EQ(image.Decode(file.data(), file.size()), kImageOk);
    EXPECT_EQ(image.pixelCount, 0);
    EXPECT_NE(image.pixels, nullptr);
}

struct RefusalCase {
    const char* what;
    std::vector<uint8_t> file;
    size_t size;  // bytes handed to Decode, at most file.size()
    int result;
};

// The first `size` bytes in a heap block of exactly that size, so that the address sanitizer
// reports any read past them; non-null even for size 0.
std::unique_ptr<uint8_t[]> Exactly(const RefusalCase& c) {
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[c.size]);
    std::copy(c.file.begin(), c.file.begin() + static_cast<std::ptrdiff_t>(c.size), bytes.get());
    return bytes;
}

TEST(TgaDecode, RefusalsBeforeTheHeaderIsReadLeaveTheImageAsItWas) {
    TgaHeader colourMapped;
    colourMapped.colourMapType = 1;
    const std::vector<uint8_t> good = TgaImage(1, 1, 24);
    auto ofType = [](uint8_t type) { return TgaImage(1, 1, 24, 0x80, type); };
    const RefusalCase cases[] = {
        {"empty data", good, 0, kImageOutOfMemory},
        {"header one byte short", good, 17, kImageOutOfMemory},
        {"colour map with true-colour type", TgaBytes(colourMapped, {1, 2, 3}), 21, kImageBadType},
        {"colour-mapped type 1", ofType(1), 21, kImageBadType},
        {"run-length colour-mapped type 9", ofType(9), 21, kImageBadType},
        {"run-length true-colour type 10", ofType(10), 21, kImageBadType},
        {"run-length grey type 11", ofType(11), 21, kImageBadType},
        {"no image data, type 0", ofType(0), 21, kImageBadType},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.what);
        Image image;
        LoadOnePixel(image);
        const uint8_t* before = image.pixels;
        EXPECT_EQ(image.Decode(Exactly(c).get(), c.size), c.result);
        EXPECT_EQ(image.pixels, before);
        EXPECT_EQ(Held(image), (std::vector<uint8_t>{0x03, 0x02, 0x01}));
        EXPECT_EQ(image.width, 1);
        EXPECT_EQ(image.bitsPerPixel, 24);
    }
    Image image;
    LoadOnePixel(image);
    EXPECT_EQ(image.Decode(nullptr, 100), kImageOutOfMemory);
    EXPECT_NE(image.pixels, nullptr);
}

TEST(TgaDecode, RefusalsAfterTheHeaderKeepItsValuesAndDropThePixels) {
    TgaHeader longId;
    longId.idLength = 200;
    std::vector<uint8_t> oneShort = TgaImage(2, 2, 24);
    oneShort.pop_back();
    struct Case {
        RefusalCase refusal;
        int width, height, bitsPerPixel;
    };
    const Case cases[] = {
        {{"16 bits per pixel", TgaImage(3, 2, 16), 30, kImageBadDepth}, 3, 2, 16},
        {{"ID field runs past the end", TgaBytes(longId), 18 + 199, kImageOutOfMemory}, 1, 1, 24},
        {{"pixel data one byte short", oneShort, oneShort.size(), kImageOutOfMemory}, 2, 2, 24},
        // 65535 * 65535 * 4 bytes: any attempt to copy them reads far past these 18.
        {{"65535 x 65535 x 32", TgaBytes(Header(2, 65535, 65535, 32)), 18, kImageOutOfMemory},
         65535,
         65535,
         32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refusal.what);
        Image image;
        LoadOnePixel(image);
        EXPECT_EQ(image.Decode(Exactly(c.refusal).get(), c.refusal.size), c.refusal.result);
        EXPECT_EQ(image.pixels, nullptr);
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_EQ(image.bitsPerPixel, c.bitsPerPixel);
        EXPECT_GE(image.pixelCount, 0);
    }
}

TEST(TgaDecode, SecondDecodeReplacesTheBuffer) {
    Image image;
    LoadOnePixel(image);
    const std::vector<uint8_t> file = TgaBytes(Header(2, 2, 1, 32), {1, 2, 3, 4, 5, 6, 7, 8});
    ASSERT_EQ(image.Decode(file.data(), file.size()), kImageOk);
    EXPECT_EQ(Held(image), (std::vector<uint8_t>{3, 2, 1, 4, 7, 6, 5, 8}));
}

TEST(TgaLoad, ReadsTheFileAndRefusesMissingOrEmptyOnes) {
    Image image;
    const TempFile file("load.tga", TgaBytes(TgaHeader{}, {0x10, 0x20, 0x30}));
    ASSERT_EQ(image.Load(file.path()), kImageOk);
    EXPECT_EQ(Held(image), (std::vector<uint8_t>{0x30, 0x20, 0x10}));

    EXPECT_EQ(image.Load(nullptr), kImageCannotOpen);
    EXPECT_EQ(image.Load("/nonexistent/embervane/missing.tga"), kImageCannotOpen);
    EXPECT_NE(image.pixels, nullptr);  // a file never opened changes nothing
    EXPECT_EQ(image.Load(TempFile("empty.tga", {}).path()), kImageOutOfMemory);
}

TEST(TgaLoad, FileLengthLeavesThePositionAlone) {
    const TempFile bytes("length.bin", std::vector<uint8_t>(100, 7));
    std::FILE* file = std::fopen(bytes.path(), "rb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fseek(file, 37, SEEK_SET), 0);
    EXPECT_EQ(FileLength(file), 100);
    EXPECT_EQ(std::ftell(file), 37);
    std::fclose(file);
}

TEST(TextureLoad, FormatsFollowTheDepth) {
    const struct {
        uint8_t bits;
        int format;
    } cases[] = {{8, kGlAlpha}, {24, kGlRgb}, {32, kGlRgba}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.bits));
        const TempFile file("depth.tga", TgaImage(2, 2, c.bits));
        Texture texture;
        ASSERT_EQ(texture.Load(file.path(), 9, 0), kImageOk);
        EXPECT_EQ(texture.pixelFormat, c.format);
        EXPECT_EQ(texture.internalFormat, c.format);
        EXPECT_EQ(texture.textureName, 9u);
    }
}

TEST(TextureLoad, OverrideChangesOnlyThePixelFormatAndOnlyOnSuccess) {
    const TempFile good("override.tga", TgaImage(2, 2, 24));
    const TempFile deep("override16.tga", TgaImage(2, 2, 16));
    constexpr int kBgr = 0x80E0;
    Texture texture;
    EXPECT_EQ(texture.Load(deep.path(), 5, kBgr), kImageBadDepth);
    EXPECT_EQ(texture.Load("/nonexistent/embervane/missing.tga", 5, kBgr), kImageCannotOpen);
    EXPECT_EQ(texture.textureName, 0u);
    EXPECT_EQ(texture.pixelFormat, 0);
    EXPECT_EQ(texture.internalFormat, 0);

    ASSERT_EQ(texture.Load(good.path(), 5, kBgr), kImageOk);
    EXPECT_EQ(texture.pixelFormat, kBgr);
    EXPECT_EQ(texture.internalFormat, kGlRgb);
    EXPECT_EQ(texture.textureName, 5u);

    EXPECT_EQ(texture.Load(deep.path(), 6, kGlRgba), kImageBadDepth);
    EXPECT_EQ(texture.textureName, 5u);
    EXPECT_EQ(texture.pixelFormat, kBgr);
    EXPECT_EQ(texture.internalFormat, kGlRgb);
}

TEST(TextureSize, PowersOfTwoUpTo1024Only) {
    const struct {
        int n;
        bool expected;
        const char* why;
    } cases[] = {
        {0, false, "zero is no power"},     {1, true, "two to the zero"},
        {2, true, "smallest even power"},   {3, false, "odd"},
        {6, false, "even but not a power"}, {512, true, "power"},
        {1023, false, "one below a power"}, {1024, true, "largest allowed"},
        {2048, false, "power above 1024"},  {-2, false, "negative"},
        {INT_MIN, false, "sign bit alone"}, {1 << 30, false, "large power"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsPowerOfTwo(c.n), c.expected) << c.n << ": " << c.why;
    }
}

// Inked pixels in the 16x16 cell of glyph `code`, whose cell row is code / 16 from the top of the
// picture; the file stores rows bottom-up, so that cell row begins at file row (15 - row) * 16.
int InkInCell(const Texture& font, int code) {
    const int row = code / 16;
    const int column = code % 16;
    int ink = 0;
    for (int y = (15 - row) * 16; y < (15 - row) * 16 + 16; ++y) {
        for (int x = column * 16; x < column * 16 + 16; ++x) {
            ink += font.pixels[y * font.width + x] != 0;
        }
    }
    return ink;
}

TEST(DataFiles, LoadWithTheirDepthsAndPowerOfTwoSides) {
    const struct {
        const char* name;
        int bits;
        int format;
    } files[] = {{"font.tga", 8, kGlAlpha}, {"wood.tga", 24, kGlRgb}, {"star.tga", 24, kGlRgb}};
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        Texture texture;
        const std::string path = std::string(EMBERVANE_DATA_DIR) + "/" + f.name;
        ASSERT_EQ(texture.Load(path.c_str(), 1, 0), kImageOk);
        EXPECT_EQ(texture.bitsPerPixel, f.bits);
        EXPECT_EQ(texture.pixelFormat, f.format);
        EXPECT_TRUE(IsPowerOfTwo(texture.width)) << texture.width;
        EXPECT_TRUE(IsPowerOfTwo(texture.height)) << texture.height;
    }
}

TEST(DataFiles, FontHasInkForLetterAAndNoneForSpace) {
    Texture font;
    ASSERT_EQ(font.Load(EMBERVANE_DATA_DIR "/font.tga", 1, 0), kImageOk);
    ASSERT_EQ(font.width, 256);
    ASSERT_EQ(font.height, 256);
    EXPECT_GT(InkInCell(font, 'A'), 20);
    EXPECT_EQ(InkInCell(font, ' '), 0);
}

}  // namespace
