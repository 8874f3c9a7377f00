// The GL test harness: one real Mesa context, in a 640x480 GLUT window made before any test
// runs, kept current for every test. Pixel probes read the back buffer, which is exact before
// the swap (the front buffer reads black under Xvfb).
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

constexpr int kHarnessWidth = 640;
constexpr int kHarnessHeight = 480;

using Rgb = std::array<int, 3>;

// The colour at window pixel (x, y), origin lower-left, as bytes.
Rgb ReadPixel(int x, int y);

// Checks a probed pixel against an expected colour, each channel within `tolerance`.
::testing::AssertionResult PixelNear(const char* where, Rgb observed, Rgb expected,
                                     int tolerance = 3);

// Puts the context back to a known state: the default GL state of a new context for what the
// tests touch, viewport over the window, identity matrices, black cleared buffers.
void ResetGlState();

// A fresh texture name for the test, deleted by the fixture's TearDown.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// GL_NO_ERROR, or the error's name.
std::string GlErrorName();
