// Texture upload against a real GL context: mip chains, refusals, formats, parameters, texels.
#include "image/Texture.h"

#include <vector>

#include <gtest/gtest.h>

#include "GlHarness.h"
#include "TgaBuilder.h"

namespace {

// A texture name generated for one test and deleted when it ends.
class TextureName {
public:
    TextureName() { glGenTextures(1, &name_); }
    ~TextureName() { glDeleteTextures(1, &name_); }
    TextureName(const TextureName&) = delete;
    TextureName& operator=(const TextureName&) = delete;
    GLuint get() const { return name_; }

private:
    GLuint name_ = 0;
};

// Decodes a width x height picture of the given depth whose bytes count up from 1, formats
// chosen, for the texture name `name`.
void Prepare(Texture& texture, int width, int height, uint8_t bits, GLuint name) {
    TgaHeader h;
    h.width = width;
    h.height = height;
    h.bitsPerPixel = bits;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * (bits / 8));
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<uint8_t>(i + 1);
    }
    const std::vector<uint8_t> file = TgaBytes(h, pixels);
    ASSERT_EQ(texture.Decode(file.data(), file.size()), kImageOk);
    texture.ChooseFormats();
    texture.textureName = name;
}

GLint LevelParameter(GLuint name, GLint level, GLenum parameter) {
    GLint value = -1;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, parameter, &value);
    return value;
}

GLint TextureParameter(GLuint name, GLenum parameter) {
    GLint value = -1;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    return value;
}

GLint Integer(GLenum what) {
    GLint value = -1;
    glGetIntegerv(what, &value);
    return value;
}

using TextureUpload = GlTest;

TEST_F(TextureUpload, MipChainReachesOneByOne) {
    const struct {
        int width, height;
        std::vector<int> widths, heights;  // per level, from 0
    } cases[] = {
        {1, 1, {1}, {1}},
        {512, 256, {512, 256, 128, 64, 32, 16, 8, 4, 2, 1}, {256, 128, 64, 32, 16, 8, 4, 2, 1, 1}},
        {1024,
         1024,
         {1024, 512, 256, 128, 64, 32, 16, 8, 4, 2, 1},
         {1024, 512, 256, 128, 64, 32, 16, 8, 4, 2, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height);
        TextureName name;
        Texture texture;
        Prepare(texture, c.width, c.height, 24, name.get());
        ASSERT_EQ(texture.Upload(false), kImageOk);
        const int levels = static_cast<int>(c.widths.size());
        for (int level = 0; level < levels; ++level) {
            EXPECT_EQ(LevelParameter(name.get(), level, GL_TEXTURE_WIDTH), c.widths[level])
                << "level " << level;
            EXPECT_EQ(LevelParameter(name.get(), level, GL_TEXTURE_HEIGHT), c.heights[level])
                << "level " << level;
        }
        EXPECT_EQ(LevelParameter(name.get(), levels, GL_TEXTURE_WIDTH), 0) << "past the last";
    }
}

TEST_F(TextureUpload, BadSidesAreRefusedBeforeAnyGlCall) {
    const struct {
        int width, height;
        const char* why;
    } cases[] = {
        {640, 480, "neither side a power of two"},
        {2048, 2048, "powers of two above 1024"},
        {1024, 3, "one side not a power of two"},
        {0, 0, "empty"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TextureName target;
        TextureName other;
        const uint8_t texels[4 * 4 * 3] = {};
        glBindTexture(GL_TEXTURE_2D, target.get());
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
        glBindTexture(GL_TEXTURE_2D, other.get());

        Texture texture;
        Prepare(texture, c.width, c.height, 24, target.get());
        EXPECT_EQ(texture.Upload(true), kTextureBadSize);
        EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(other.get()));
        EXPECT_EQ(Integer(GL_UNPACK_ALIGNMENT), 4);
        EXPECT_EQ(LevelParameter(target.get(), 0, GL_TEXTURE_WIDTH), 4);
        EXPECT_NE(texture.pixels, nullptr);
    }
}

TEST_F(TextureUpload, NoPixelsRefusedBeforeAnyGlCallAndAfterARelease) {
    TextureName name;
    Texture texture;
    Prepare(texture, 4, 4, 24, name.get());
    ASSERT_EQ(texture.Upload(true), kImageOk);
    EXPECT_EQ(texture.pixels, nullptr);
    EXPECT_EQ(LevelParameter(name.get(), 0, GL_TEXTURE_WIDTH), 4);  // released only after GL has it

    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(texture.Upload(false), kTextureNoPixels);
    EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), 0);

    Texture empty;
    EXPECT_EQ(empty.Upload(false), kTextureNoPixels);
}

TEST_F(TextureUpload, ParametersAndEnvironmentReadBack) {
    for (const bool mipmaps : {true, false}) {
        SCOPED_TRACE(mipmaps ? "with mip-maps" : "single level");
        TextureName name;
        Texture texture;
        Prepare(texture, 4, 2, 24, name.get());
        texture.mipmaps = mipmaps;
        texture.wrapS = GL_CLAMP_TO_EDGE;
        texture.envMode = GL_REPLACE;
        ASSERT_EQ(texture.Upload(true), kImageOk);

        EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(name.get()));
        EXPECT_EQ(Integer(GL_UNPACK_ALIGNMENT), 1);
        EXPECT_EQ(TextureParameter(name.get(), GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
        EXPECT_EQ(TextureParameter(name.get(), GL_TEXTURE_WRAP_T), GL_REPEAT);
        EXPECT_EQ(TextureParameter(name.get(), GL_TEXTURE_MIN_FILTER),
                  mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
        EXPECT_EQ(TextureParameter(name.get(), GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        GLint env = -1;
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
        EXPECT_EQ(env, GL_REPLACE);
        EXPECT_EQ(LevelParameter(name.get(), 1, GL_TEXTURE_WIDTH), mipmaps ? 2 : 0);
    }
}

TEST_F(TextureUpload, LevelZeroHoldsTheDecodedPixelsInTheDepthsFormat) {
    // Two-pixel rows of 24 bits are 6 bytes long: they arrive intact only with byte alignment.
    // GL may report a format by its sized name.
    const struct {
        int width, height;
        uint8_t bits;
        bool mipmaps;
        GLint format, sized;
    } cases[] = {{4, 2, 8, true, GL_ALPHA, GL_ALPHA8},
                 {2, 2, 24, true, GL_RGB, GL_RGB8},
                 {2, 2, 24, false, GL_RGB, GL_RGB8},
                 {2, 4, 32, true, GL_RGBA, GL_RGBA8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << static_cast<int>(c.bits) << " bits, mip-maps " << c.mipmaps);
        TextureName name;
        Texture texture;
        Prepare(texture, c.width, c.height, c.bits, name.get());
        texture.mipmaps = c.mipmaps;
        const size_t bytes = static_cast<size_t>(c.width) * c.height * (c.bits / 8);
        const std::vector<uint8_t> decoded(texture.pixels, texture.pixels + bytes);
        ASSERT_EQ(texture.Upload(false), kImageOk);

        const GLint format = LevelParameter(name.get(), 0, GL_TEXTURE_INTERNAL_FORMAT);
        EXPECT_TRUE(format == c.format || format == c.sized) << std::hex << format;
        std::vector<uint8_t> texels(bytes + 16, 0xCD);  // slack shows a wrong row stride
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, static_cast<GLenum>(texture.pixelFormat), GL_UNSIGNED_BYTE,
                      texels.data());
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        EXPECT_EQ(std::vector<uint8_t>(texels.begin(), texels.begin() + bytes), decoded);
    }
}

}  // namespace
