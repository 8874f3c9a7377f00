// Drag arithmetic, pointer tracking and the aspect ratio; the HUD's colours and figures.
#include "app/Camera.h"

#include <cmath>

#include <gtest/gtest.h>

#include "app/ProgramState.h"
#include "render/Hud.h"
#include "render/Matrix.h"

TEST(CameraDrag, ViewportSizeScalesTheTurn) {
    const struct {
        int width, height, benchmark, fromX, fromY, toX, toY;
        float yaw, pitch;
        const char* why;
    } rows[] = {
        {640, 480, 0, 0, 100, 640, 100, 395, 0, "a full width turns the yaw once"},
        {320, 240, 0, 10, 10, 330, 10, 395, 0, "after key 1 a 320-pixel drag does"},
        {640, 480, 0, 0, 0, 0, 48, 35, 36, "48 pixels down in 480 is 36 degrees"},
        {640, 480, 0, 0, 0, 0, 4848, 35, 3636, "pitch has no limit"},
        {640, 480, 1, 0, 0, 320, 240, 35, 0, "benchmark mode turns nothing"},
        {0, 0, 0, 0, 0, 64, 0, 35 + 64 * 360, 0, "a collapsed viewport scales as one pixel"},
    };
    for (const auto& row : rows) {
        viewState = {row.width, row.height, 0, 35, 0, {0, 40, 170}, 0, 0};
        benchmarkMode = row.benchmark;
        TrackPointer(row.fromX, row.fromY);
        DragCamera(row.toX, row.toY);
        EXPECT_EQ(viewState.cameraYaw, row.yaw) << row.why;
        EXPECT_EQ(viewState.cameraPitch, row.pitch) << row.why;
        EXPECT_EQ(viewState.lastPointerX, row.toX) << row.why;  // tracked in either mode
    }
    benchmarkMode = 0;
    viewState.lastPointerX = 0;  // the first drag of a run measures from (0, 0)
    viewState.lastPointerY = 0;
    viewState.windowWidth = 640;
    viewState.cameraYaw = 35;
    DragCamera(64, 0);
    EXPECT_EQ(viewState.cameraYaw, 71.0f);
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
