// Drag arithmetic, pointer tracking and the aspect ratio; the HUD's colours and figures.
#include "app/Camera.h"

#include <cmath>

#include <gtest/gtest.h>

#include "app/Commands.h"
#include "app/ProgramState.h"
#include "render/Hud.h"
#include "render/Matrix.h"

class CameraDrag : public ::testing::Test {
protected:
    void SetUp() override {
        viewState.windowWidth = 640;
        viewState.windowHeight = 480;
        viewState.cameraPitch = 0;
        viewState.cameraYaw = 35;
        viewState.lastPointerX = 0;
        viewState.lastPointerY = 0;
        benchmarkMode = 0;
    }
};

TEST_F(CameraDrag, FullWidthTurnsYawOnce) {
    TrackPointer(0, 100);
    DragCamera(640, 100);
    EXPECT_EQ(viewState.cameraYaw, 395.0f);
    EXPECT_EQ(viewState.cameraPitch, 0.0f);
}

TEST_F(CameraDrag, SmallViewportScalesDrag) {
    ApplyKey('1');
    TrackPointer(10, 10);
    DragCamera(330, 10);
    EXPECT_EQ(viewState.cameraYaw, 395.0f);
}

TEST_F(CameraDrag, FortyEightPixelsDownIsThirtySixDegrees) {
    TrackPointer(0, 0);
    DragCamera(0, 48);
    EXPECT_EQ(viewState.cameraPitch, 36.0f);
    DragCamera(0, 48 + 480 * 10);  // pitch has no limit
    EXPECT_EQ(viewState.cameraPitch, 3636.0f);
}

TEST_F(CameraDrag, FirstDragMeasuresFromOrigin) {
    DragCamera(64, 0);
    EXPECT_EQ(viewState.cameraYaw, 71.0f);
}

TEST_F(CameraDrag, BenchmarkModeTracksButDoesNotTurn) {
    benchmarkMode = 1;
    DragCamera(320, 240);
    EXPECT_EQ(viewState.cameraYaw, 35.0f);
    EXPECT_EQ(viewState.lastPointerX, 320);
    EXPECT_EQ(viewState.lastPointerY, 240);
    benchmarkMode = 0;
    DragCamera(321, 240);  // no jump on leaving benchmark mode mid-drag
    EXPECT_EQ(viewState.cameraYaw, 35.5625f);
}

TEST_F(CameraDrag, CollapsedViewportKeepsAnglesFinite) {
    viewState.windowWidth = 0;
    viewState.windowHeight = 0;
    DragCamera(5, 5);
    EXPECT_TRUE(std::isfinite(viewState.cameraYaw));
    EXPECT_TRUE(std::isfinite(viewState.cameraPitch));
}

TEST(Projection, AspectRatios) {
    EXPECT_DOUBLE_EQ(AspectRatio(640, 480), 4.0 / 3.0);
    EXPECT_DOUBLE_EQ(AspectRatio(800, 600), 4.0 / 3.0);
    EXPECT_DOUBLE_EQ(AspectRatio(320, 480), 2.0 / 3.0);
    EXPECT_DOUBLE_EQ(AspectRatio(640, 0), 640.0);
}

TEST(Hud, CountColourThresholds) {
    struct Row {
        int count;
        Rgba colour;
    };
    const Row rows[] = {
        {500, {0, 204, 255, 255}},   {3999, {0, 204, 255, 255}},  {4000, {0, 255, 0, 255}},
        {23999, {0, 255, 0, 255}},   {24000, {255, 255, 0, 255}}, {47999, {255, 255, 0, 255}},
        {48000, {255, 127, 0, 255}}, {63999, {255, 127, 0, 255}}, {64000, {255, 0, 0, 255}},
        {120000, {255, 0, 0, 255}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(HudCountColour(row.count), row.colour) << row.count;
    }
}

TEST(Hud, KiloRateTruncates) {
    struct Row {
        float perSecond;
        int kilo;
        const char* why;
    };
    const Row rows[] = {
        {999.9f, 0, "not rounded up"},
        {3200000.0f, 3200, "the steady 100 fps at 32000"},
        {1999.0f, 1, "truncated"},
        {-1500.0f, -1, "toward zero"},
        {1e12f, 2147483, "saturates instead of overflowing"},
        {NAN, 0, "no reading"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(KiloRate(row.perSecond), row.kilo) << row.why;
    }
}

TEST(Matrix, TransposeSwapsAcrossDiagonal) {
    float m[16];
    for (int i = 0; i < 16; ++i) {
        m[i] = static_cast<float>(i);
    }
    const float expected[16] = {0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15};
    EXPECT_EQ(TransposeMatrix(m), m);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(m[i], expected[i]) << i;
    }
}
