// The drawn frame against a real GL context: floor, HUD colours and lines, additive particles,
// depth against the floor, the viewport keys, the projection and the state a frame leaves.
#include "render/Display.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "GlHarness.h"
#include "app/Callbacks.h"
#include "app/ProgramState.h"
#include "sim/Particles.h"

namespace {

// The program's own start-up on the harness window, then a known scene: 500 particles that add
// nothing (all fields 0, so alpha 0), zero statistics, free mode and the start-up camera.
class DisplayTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        char cwd[PATH_MAX];
        ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
        savedDirectory_ = cwd;
        ASSERT_EQ(chdir(EMBERVANE_DATA_DIR), 0);

        benchmarkMode = 0;
        savedParticleCount = 0;
        viewState = {640, 480, 0, 35, 0, {0, 40, 170}, 0, 0};
        InitScene();
        loadedNames_[0] = floorTextureName;
        loadedNames_[1] = spriteTextureName;
        Reshape(kHarnessWidth, kHarnessHeight);
        particleCount = 500;
        std::memset(particlePool, 0, sizeof(particlePool));
        frameStats = {};
        glGenTextures(1, &blankName_);
    }

    void TearDown() override {
        glDeleteTextures(1, &blankName_);
        glDeleteTextures(2, loadedNames_);
        EXPECT_EQ(chdir(savedDirectory_.c_str()), 0);
        GlTest::TearDown();
    }

    // Camera at the world origin looking straight up: the floor lies behind it and the frame
    // outside the HUD is the black clear colour. World (0, d, 0) is at the centre, d away.
    static void LookUpFromOrigin() {
        viewState.cameraPosition[0] = 0;
        viewState.cameraPosition[1] = 0;
        viewState.cameraPosition[2] = 0;
        viewState.cameraPitch = -90;
        viewState.cameraYaw = 0;
    }

    // Camera at the world origin looking straight down at the floor, 11.2 below.
    static void LookDownFromOrigin() {
        LookUpFromOrigin();
        viewState.cameraPitch = 90;
    }

    static void PlaceParticle(int index, float x, float y, float z) {
        Particle& p = particlePool[index];
        p.x = x;
        p.y = y;
        p.z = z;
        p.red = 1.0f;
        p.green = 0.5f;
        p.blue = 0.25f;
        p.lifeFraction = 0.5f;
    }

    GLuint blankName_ = 0;  // a texture name that never gets an image: draws untextured

private:
    std::string savedDirectory_;
    GLuint loadedNames_[2] = {};  // floor and sprite as InitScene made them, whatever a test sets
};

constexpr Rgb kFloorColour = {0, 77, 102};  // (0, 0.3, 0.4)
constexpr Rgb kBlack = {0, 0, 0};
constexpr Rgb kWhite = {255, 255, 255};

// Every pixel of the rectangle from (x, y), row by row.
std::vector<Rgb> ReadRect(int x, int y, int width, int height) {
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<Rgb> pixels;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        pixels.push_back({rgba[i], rgba[i + 1], rgba[i + 2]});
    }
    return pixels;
}

// The pixel of the rectangle with the largest channel sum: over black, a glyph's best-covered
// pixel.
Rgb Brightest(int x, int y, int width, int height) {
    Rgb best = kBlack;
    for (const Rgb& p : ReadRect(x, y, width, height)) {
        if (p[0] + p[1] + p[2] > best[0] + best[1] + best[2]) {
            best = p;
        }
    }
    return best;
}

// A glyph pixel over black is its colour times its coverage, and a 16-pixel cell drawn at 10
// pixels covers no pixel fully: scaling the largest channel back to 255 recovers the colour.
// A pixel too dim to be a glyph's stroke is returned as it is, so an absent line fails.
Rgb FullCoverage(Rgb p) {
    const int top = std::max({p[0], p[1], p[2]});
    if (top < 128) {
        return p;
    }
    return {(p[0] * 255 + top / 2) / top, (p[1] * 255 + top / 2) / top,
            (p[2] * 255 + top / 2) / top};
}

GLint Integer(GLenum what) {
    GLint value = -1;
    glGetIntegerv(what, &value);
    return value;
}

TEST_F(DisplayTest, FloorWithoutImageShowsItsPlainColour) {
    floorTextureName = blankName_;
    DrawScene();
    EXPECT_TRUE(PixelNear("lower middle", ReadPixel(320, 120), kFloorColour));
    EXPECT_TRUE(PixelNear("lower right", ReadPixel(560, 80), kFloorColour));
    EXPECT_TRUE(PixelNear("sky above the floor", ReadPixel(320, 400), kBlack));
}

TEST_F(DisplayTest, FloorWithWoodShowsBrownTexels) {
    DrawScene();
    const Rgb p = ReadPixel(320, 120);
    EXPECT_FALSE(PixelNear("lower middle", p, kFloorColour, 20));
    EXPECT_GT(p[0], p[2]) << "red " << p[0] << " blue " << p[2];
}

TEST_F(DisplayTest, CountLineColourFollowsTheCount) {
    LookUpFromOrigin();
    const struct {
        int count;
        Rgb colour;
    } cases[] = {
        {500, {0, 204, 255}},   {3999, {0, 204, 255}},  {4000, {0, 255, 0}},
        {23999, {0, 255, 0}},   {24000, {255, 255, 0}}, {47999, {255, 255, 0}},
        {48000, {255, 127, 0}}, {63999, {255, 127, 0}}, {64000, {255, 0, 0}},
        {120000, {255, 0, 0}},
    };
    for (const auto& c : cases) {
        particleCount = c.count;
        DrawScene();
        const std::string where = std::to_string(c.count) + " particles";
        EXPECT_TRUE(PixelNear(where.c_str(), FullCoverage(Brightest(0, 24, 180, 10)), c.colour));
    }
}

TEST_F(DisplayTest, RateAndModeLinesAreWhite) {
    LookUpFromOrigin();
    particleCount = 64000;  // red count line: white below it cannot be the count's colour
    frameStats.fps = 12.5f;
    frameStats.particlesPerSecond = 800000;
    frameStats.averageParticlesPerSecond = 750000;
    frameStats.peakParticlesPerSecond = 900000;
    DrawScene();
    EXPECT_TRUE(PixelNear("rate line", FullCoverage(Brightest(0, 12, 200, 10)), kWhite));
    EXPECT_TRUE(PixelNear("average and peak", FullCoverage(Brightest(220, 12, 420, 10)), kWhite));
    EXPECT_TRUE(PixelNear("mode line", FullCoverage(Brightest(0, 0, 640, 10)), kWhite));
}

TEST_F(DisplayTest, ModeLineTextFollowsBenchmarkMode) {
    LookUpFromOrigin();
    DrawScene();
    const std::vector<Rgb> freeRow = ReadRect(0, 0, 640, 10);
    benchmarkMode = 1;
    DrawScene();
    const std::vector<Rgb> benchmarkRow = ReadRect(0, 0, 640, 10);
    EXPECT_NE(freeRow, benchmarkRow);
    // The free line has 62 cells, the benchmark line 33: only the first reaches x = 400.
    const auto litPast400 = [](const std::vector<Rgb>& row) {
        int lit = 0;
        for (size_t i = 0; i < row.size(); ++i) {
            lit += i % 640 >= 400 && row[i] != kBlack;
        }
        return lit;
    };
    EXPECT_GT(litPast400(freeRow), 0);
    EXPECT_EQ(litPast400(benchmarkRow), 0);
}

TEST_F(DisplayTest, ParticleAddsColourTimesLife) {
    LookUpFromOrigin();
    spriteTextureName = blankName_;
    // Index 0 is drawn; 500 is past the count of 500 and must not be.
    const struct {
        int index;
        Rgb centre;
    } cases[] = {
        {0, {128, 64, 32}},  // (1, 0.5, 0.25) x 0.5 over black
        {500, kBlack},
    };
    for (const auto& c : cases) {
        std::memset(particlePool, 0, sizeof(particlePool));
        PlaceParticle(c.index, 0, 10, 0);
        DrawScene();
        const std::string where = "record " + std::to_string(c.index);
        EXPECT_TRUE(PixelNear(where.c_str(), ReadPixel(320, 240), c.centre));
        // Half size 1.2 at distance 10 reaches 1.2 / 10 * 240 = 29 pixels from the centre.
        EXPECT_TRUE(PixelNear((where + ", outside").c_str(), ReadPixel(320 + 40, 240), kBlack));
    }
}

TEST_F(DisplayTest, ParticlesAddWithoutHidingEachOther) {
    LookUpFromOrigin();
    spriteTextureName = blankName_;
    PlaceParticle(0, 0, 10, 0);
    PlaceParticle(1, 0, 12, 0);
    DrawScene();
    // Additive and without depth writes: (128, 64, 32) twice, red clamped; blending over the
    // nearer one would give (191, 96, 48).
    EXPECT_TRUE(PixelNear("centre", ReadPixel(320, 240), {255, 128, 64}));
}

TEST_F(DisplayTest, FloorHidesParticleBelowIt) {
    LookDownFromOrigin();
    floorTextureName = blankName_;
    spriteTextureName = blankName_;
    const struct {
        float height;
        Rgb centre;
    } cases[] = {
        {-5, {128, 141, 134}},  // above the floor at -11.2: floor + (128, 64, 32)
        {-20, kFloorColour},    // below the floor's lower face at -12.2
    };
    for (const auto& c : cases) {
        PlaceParticle(0, 0, c.height, 0);
        DrawScene();
        const std::string where = "particle at height " + std::to_string(c.height);
        EXPECT_TRUE(PixelNear(where.c_str(), ReadPixel(320, 240), c.centre));
    }
}

TEST_F(DisplayTest, ViewportKeysDrawQuarterThenWholeWindow) {
    floorTextureName = blankName_;
    Keyboard('1', 0, 0);
    DrawScene();
    EXPECT_EQ(viewState.windowWidth, 320);
    EXPECT_EQ(viewState.windowHeight, 240);
    EXPECT_TRUE(PixelNear("quarter, its lower middle", ReadPixel(160, 60), kFloorColour));
    EXPECT_TRUE(PixelNear("lower right, outside", ReadPixel(480, 120), kBlack));
    EXPECT_TRUE(PixelNear("upper right, outside", ReadPixel(480, 360), kBlack));
    EXPECT_TRUE(PixelNear("upper left, outside", ReadPixel(160, 360), kBlack));

    Keyboard('2', 0, 0);
    DrawScene();
    EXPECT_EQ(viewState.windowWidth, 640);
    EXPECT_EQ(viewState.windowHeight, 480);
    EXPECT_TRUE(PixelNear("lower middle", ReadPixel(320, 120), kFloorColour));
    EXPECT_TRUE(PixelNear("lower right", ReadPixel(480, 120), kFloorColour));
}

TEST_F(DisplayTest, ReshapeSetsProjectionForAspect) {
    // 90 degrees vertically: f = 1 / tan(45 degrees) = 1. Near 1, far 9999:
    // (far + near) / (near - far) = -10000 / 9998, 2 far near / (near - far) = -19998 / 9998.
    const struct {
        int width, height;
        float xScale;
    } cases[] = {
        {640, 480, 0.75f},     // 1 / (640 / 480)
        {320, 480, 1.5f},      // 1 / (320 / 480)
        {640, 0, 0.0015625f},  // a height of 0 counts as 1: 1 / 640
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height);
        Reshape(c.width, c.height);
        GLfloat m[16];
        glGetFloatv(GL_PROJECTION_MATRIX, m);
        for (const float value : m) {
            ASSERT_TRUE(std::isfinite(value));
        }
        EXPECT_NEAR(m[0], c.xScale, 1e-6);
        EXPECT_NEAR(m[5], 1.0f, 1e-6);
        EXPECT_NEAR(m[10], -1.00020004f, 1e-6);
        EXPECT_NEAR(m[11], -1.0f, 1e-6);
        EXPECT_NEAR(m[14], -2.00020004f, 1e-6);
    }
}

TEST_F(DisplayTest, FrameLeavesParticleState) {
    DrawScene();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ(Integer(GL_DEPTH_WRITEMASK), GL_TRUE);
    EXPECT_EQ(Integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(spriteTextureName));
    EXPECT_EQ(Integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(Integer(GL_BLEND_DST), GL_ONE);
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);
    GLint envMode = -1;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    EXPECT_EQ(envMode, GL_MODULATE);
}

}  // namespace
