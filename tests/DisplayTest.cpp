// The drawn frame against a real GL context: floor, HUD colours, additive particles, depth
// against the floor, the viewport key, the projection and the state a frame leaves.
#include "render/Display.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include <unistd.h>

#include "GlHarness.h"
#include "app/Callbacks.h"
#include "app/ProgramState.h"
#include "sim/Particles.h"

namespace {

constexpr Rgb kFloor = {0, 77, 102};  // (0, 0.3, 0.4)
constexpr Rgb kBlack = {0, 0, 0};
constexpr Rgb kWhite = {255, 255, 255};

// The program's own start-up on the harness window, then a known scene: 500 particles that add
// nothing (all fields 0, so alpha 0), free mode and the start-up camera.
// Texture name 0 never gets a picture: what is drawn with it is untextured.
class DisplayTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_NE(getcwd(directory_, sizeof(directory_)), nullptr);
        ASSERT_EQ(chdir(EMBERVANE_DATA_DIR), 0);
        benchmarkMode = 0;
        viewState = {640, 480, 0, 35, 0, {0, 40, 170}, 0, 0};
        InitScene();
        Reshape(kHarnessWidth, kHarnessHeight);
        particleCount = 500;
        std::memset(particlePool, 0, sizeof(particlePool));
    }
    void TearDown() override {
        EXPECT_EQ(chdir(directory_), 0);
        GlTest::TearDown();
    }

private:
    char directory_[4096] = {};
};

// A glyph pixel over black is its colour times its coverage, and a 16-pixel cell drawn at 10
// pixels covers no pixel fully: the brightest pixel of a HUD line, scaled back to full brightness,
// gives its colour. A pixel too dim for a stroke comes back as it is, so an absent line fails.
Rgb LineColour(int x, int y, int width) {
    Rgb p = kBlack;
    for (const Rgb& q : ReadRect(x, y, width, 10)) {
        p = q[0] + q[1] + q[2] > p[0] + p[1] + p[2] ? q : p;
    }
    const int top = std::max({p[0], p[1], p[2]});
    return top < 128 ? p : Rgb{p[0] * 255 / top, p[1] * 255 / top, p[2] * 255 / top};
}

TEST_F(DisplayTest, FloorShowsWoodOrItsPlainColourOverTheViewportThatKeyOneQuarters) {
    DrawScene();
    const Rgb wood = ReadPixel(320, 120);
    EXPECT_FALSE(PixelNear("wood", wood, kFloor, 20));
    EXPECT_GT(wood[0], wood[2]) << "brown";
    floorTextureName = 0;
    DrawScene();
    EXPECT_TRUE(PixelNear("plain floor", ReadPixel(480, 120), kFloor));
    EXPECT_TRUE(PixelNear("sky above the floor", ReadPixel(320, 400), kBlack));
    Keyboard('1', 0, 0);
    DrawScene();
    EXPECT_EQ((std::pair{viewState.windowWidth, viewState.windowHeight}), (std::pair{320, 240}));
    EXPECT_TRUE(PixelNear("the quarter's lower middle", ReadPixel(160, 60), kFloor));
    EXPECT_TRUE(PixelNear("lower right, outside", ReadPixel(480, 120), kBlack));
    EXPECT_TRUE(PixelNear("upper left, outside", ReadPixel(160, 360), kBlack));
}

TEST_F(DisplayTest, CountLineChangesColourAtEachThresholdAndTheOtherLinesStayWhite) {
    viewState = {640, 480, -90, 0, 0, {0, 0, 0}, 0, 0};  // looking up from the origin: black behind
    const struct {
        int count;
        Rgb below, from;
    } rows[] = {
        {4000, {0, 204, 255}, {0, 255, 0}},
        {24000, {0, 255, 0}, {255, 255, 0}},
        {48000, {255, 255, 0}, {255, 127, 0}},
        {64000, {255, 127, 0}, {255, 0, 0}},
    };
    for (const auto& row : rows) {
        for (const int count : {row.count - 1, row.count}) {
            SCOPED_TRACE(::testing::Message() << count << " particles");
            particleCount = count;
            benchmarkMode = count == row.count;  // its mode line ends before x = 400
            DrawScene();
            EXPECT_TRUE(PixelNear("count", LineColour(0, 24, 180),
                                  count < row.count ? row.below : row.from));
            EXPECT_TRUE(PixelNear("rate", LineColour(0, 12, 200), kWhite));
            EXPECT_TRUE(PixelNear("average and peak", LineColour(220, 12, 420), kWhite));
            EXPECT_TRUE(PixelNear("mode", LineColour(0, 0, 400), kWhite));
            EXPECT_TRUE(PixelNear("mode past 400", LineColour(400, 0, 240),
                                  benchmarkMode ? kBlack : kWhite));
        }
    }
}

TEST_F(DisplayTest, ParticlesAddColourTimesLifeAndHideBelowTheFloor) {
    floorTextureName = spriteTextureName = 0;
    const struct {
        const char* what;
        float pitch;
        std::vector<std::pair<int, float>> particles;  // index and height
        Rgb centre, aside;                             // at the centre and 40 pixels right of it
    } rows[] = {
        // 10 away: the sprite's half size of 1.2 reaches 29 pixels from the centre.
        {"(1, 0.5, 0.25) x 0.5 over black", -90, {{0, 10}}, {128, 64, 32}, kBlack},
        {"past the count", -90, {{500, 10}}, kBlack, kBlack},
        {"added, not hidden by the nearer", -90, {{0, 10}, {1, 12}}, {255, 128, 64}, kBlack},
        // 6.2 away: 46 pixels.
        {"above the floor's upper face", 90, {{0, -5}}, {128, 141, 134}, {128, 141, 134}},
        {"below its lower face at -12.2", 90, {{0, -20}}, kFloor, kFloor},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        // From the world origin, looking straight up (-90) or down (90) at the floor 11.2 below.
        viewState = {640, 480, row.pitch, 0, 0, {0, 0, 0}, 0, 0};
        std::memset(particlePool, 0, sizeof(particlePool));
        for (const auto& [index, height] : row.particles) {
            particlePool[index] = {0, 0, 0, 0, height, 0, 0, 0, 1, 0.5f, 0.25f, 0, 0.5f, 0};
        }
        DrawScene();
        EXPECT_TRUE(PixelNear("centre", ReadPixel(320, 240), row.centre));
        EXPECT_TRUE(PixelNear("aside", ReadPixel(360, 240), row.aside));
    }
}

TEST_F(DisplayTest, ReshapeSetsAPerspectiveForTheAspect) {
    // 90 degrees vertically: f = 1 / tan(45 degrees) = 1. Near 1, far 9999:
    // (far + near) / (near - far) = -10000 / 9998, 2 far near / (near - far) = -19998 / 9998.
    const struct {
        int width, height;
        float xScale;
    } rows[] = {{640, 480, 0.75f}, {320, 480, 1.5f}, {640, 0, 0.0015625f}};  // height 0 counts as 1
    for (const auto& row : rows) {
        Reshape(row.width, row.height);
        GLfloat m[16];
        glGetFloatv(GL_PROJECTION_MATRIX, m);
        const float expected[16] = {row.xScale,   0, 0, 0, 0, 1, 0, 0, 0, 0, -1.00020004f, -1, 0, 0,
                                    -2.00020004f, 0};
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(m[i], expected[i], 1e-6)
                << row.width << "x" << row.height << ", [" << i << "]";
        }
    }
}

TEST_F(DisplayTest, FrameLeavesTheParticleState) {
    DrawScene();
    GLint env = -1;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ((std::vector<GLint>{glIsEnabled(GL_BLEND), glIsEnabled(GL_DEPTH_TEST),
                                  glIsEnabled(GL_TEXTURE_2D), glIsEnabled(GL_SCISSOR_TEST),
                                  GlInteger(GL_DEPTH_WRITEMASK), GlInteger(GL_TEXTURE_BINDING_2D),
                                  GlInteger(GL_BLEND_SRC), GlInteger(GL_BLEND_DST),
                                  GlInteger(GL_MATRIX_MODE), env}),
              (std::vector<GLint>{1, 1, 1, 0, GL_TRUE, static_cast<GLint>(spriteTextureName),
                                  GL_SRC_ALPHA, GL_ONE, GL_MODELVIEW, GL_MODULATE}));
}

}  // namespace
