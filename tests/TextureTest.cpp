// Texture upload against a real GL context: mip chains, texels, parameters and refusals.
#include "image/Texture.h"

#include <numeric>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "GlHarness.h"
#include "TgaBuilder.h"

namespace {

// Decodes a picture whose bytes count up from 1, for the texture name `name`; returns the pixels
// decoded.
std::vector<uint8_t> Prepare(Texture& texture, int width, int height, int bits, GLuint name) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * (bits / 8));
    std::iota(pixels.begin(), pixels.end(), 1);
    const std::vector<uint8_t> file = Tga(2, width, height, bits, pixels);
    EXPECT_EQ(texture.Decode(file.data(), file.size()), kImageOk);
    texture.ChooseFormats();
    texture.textureName = name;
    return std::vector(texture.pixels, texture.pixels + (texture.pixels ? pixels.size() : 0));
}

// An integer of GL state (level < -1), of the bound texture (-1) or of one of its levels.
GLint Get(GLenum what, int level = -2) {
    GLint value = -1;
    level < -1  ? glGetIntegerv(what, &value)
    : level < 0 ? glGetTexParameteriv(GL_TEXTURE_2D, what, &value)
                : glGetTexLevelParameteriv(GL_TEXTURE_2D, level, what, &value);
    return value;
}

using TextureUpload = GlTest;

TEST_F(TextureUpload, LevelsTexelsAndParametersReadBack) {
    // Rows of 6 bytes arrive intact only with an unpack alignment of 1.
    const struct {
        int bits, width, height;
        bool mipmaps;
        std::vector<GLint> widths, heights;  // of each level, and 0 past the last
    } rows[] = {
        {8, 4, 2, true, {4, 2, 1, 0}, {2, 1, 1, 0}},
        {24, 2, 4, true, {2, 1, 1, 0}, {4, 2, 1, 0}},
        {24, 2, 2, false, {2, 0}, {2, 0}},
        {32, 2, 2, false, {2, 0}, {2, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.bits << " bits, mip-maps " << row.mipmaps);
        GLuint name = 0;
        glGenTextures(1, &name);
        Texture texture;
        const auto decoded = Prepare(texture, row.width, row.height, row.bits, name);
        texture.mipmaps = row.mipmaps;
        texture.wrapS = GL_CLAMP_TO_EDGE;
        texture.envMode = GL_REPLACE;
        ASSERT_EQ(texture.Upload(true), kImageOk);  // leaves the texture bound for the reads below
        GLint env = -1;
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
        EXPECT_EQ(
            (std::vector<GLint>{env, Get(GL_TEXTURE_WRAP_S, -1), Get(GL_TEXTURE_WRAP_T, -1),
                                Get(GL_TEXTURE_MIN_FILTER, -1), Get(GL_TEXTURE_MAG_FILTER, -1)}),
            (std::vector<GLint>{GL_REPLACE, GL_CLAMP_TO_EDGE, GL_REPEAT,
                                row.mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR, GL_LINEAR}));
        for (int level = 0; level < static_cast<int>(row.widths.size()); ++level) {
            EXPECT_EQ(Get(GL_TEXTURE_WIDTH, level), row.widths[level]) << "level " << level;
            EXPECT_EQ(Get(GL_TEXTURE_HEIGHT, level), row.heights[level]) << "level " << level;
        }
        std::vector<uint8_t> texels(decoded.size() + 16, 0xCD);  // slack shows a wrong row stride
        glGetTexImage(GL_TEXTURE_2D, 0, static_cast<GLenum>(texture.pixelFormat), GL_UNSIGNED_BYTE,
                      texels.data());
        EXPECT_EQ(std::vector<uint8_t>(texels.begin(), texels.begin() + decoded.size()), decoded);
        glBindTexture(GL_TEXTURE_2D, 0);
        EXPECT_EQ(texture.Upload(false), kTextureNoPixels) << "after the release";
        EXPECT_EQ(Get(GL_TEXTURE_BINDING_2D), 0) << "no GL call before that refusal";
        glDeleteTextures(1, &name);
    }
}

TEST_F(TextureUpload, BadSidesAreRefusedBeforeAnyGlCall) {
    for (const auto& [width, height] : {std::pair{2048, 1}, std::pair{0, 0}}) {
        Texture texture;
        Prepare(texture, width, height, 24, 7);
        EXPECT_EQ(texture.Upload(true), kTextureBadSize) << width << "x" << height;
        EXPECT_NE(texture.pixels, nullptr);
    }
    EXPECT_EQ(Get(GL_TEXTURE_BINDING_2D), 0);
    EXPECT_EQ(Get(GL_UNPACK_ALIGNMENT), 4);
}

}  // namespace
