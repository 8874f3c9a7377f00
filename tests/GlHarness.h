// The GL test harness: one real Mesa context, in a 640x480 GLUT window made before any test
// runs, kept current for every test. Probes read the back buffer, which is exact before the
// swap (the front buffer reads black under Xvfb).
#pragma once

#include <array>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

constexpr int kHarnessWidth = 640;
constexpr int kHarnessHeight = 480;

using Rgb = std::array<int, 3>;

// The colours of the rectangle from window pixel (x, y), origin lower-left, row by row.
std::vector<Rgb> ReadRect(int x, int y, int width, int height);
inline Rgb ReadPixel(int x, int y) {
    return ReadRect(x, y, 1, 1)[0];
}

// Checks a probed pixel against an expected colour, each channel within `tolerance`.
::testing::AssertionResult PixelNear(const char* where, Rgb observed, Rgb expected,
                                     int tolerance = 3);

// One integer of GL state.
GLint GlInteger(GLenum what);

// Each test starts from the default state of a new context for what the tests touch (but a pack
// alignment of 1): viewport over the window, identity matrices, black cleared buffers. It must
// end without a GL error.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
