// The GL test harness and the main function of the GL test binary.
#include "GlHarness.h"

#include <cstdlib>

#include "GlWindow.h"

std::vector<Rgb> ReadRect(int x, int y, int width, int height) {
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<Rgb> pixels;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        pixels.push_back({rgba[i], rgba[i + 1], rgba[i + 2]});
    }
    return pixels;
}

::testing::AssertionResult PixelNear(const char* where, Rgb observed, Rgb expected, int tolerance) {
    for (int i = 0; i < 3; ++i) {
        if (std::abs(observed[i] - expected[i]) > tolerance) {
            return ::testing::AssertionFailure()
                   << where << ": expected " << ::testing::PrintToString(expected) << " within "
                   << tolerance << ", observed " << ::testing::PrintToString(observed);
        }
    }
    return ::testing::AssertionSuccess();
}

GLint GlInteger(GLenum what) {
    GLint value = -1;
    glGetIntegerv(what, &value);
    return value;
}

void GlTest::SetUp() {
    glReadBuffer(GL_BACK);
    glViewport(0, 0, kHarnessWidth, kHarnessHeight);
    glScissor(0, 0, kHarnessWidth, kHarnessHeight);
    for (const GLenum cap :
         {GL_DEPTH_TEST, GL_TEXTURE_2D, GL_BLEND, GL_CULL_FACE, GL_SCISSOR_TEST, GL_LIGHTING}) {
        glDisable(cap);
    }
    glBlendFunc(GL_ONE, GL_ZERO);
    glDepthMask(GL_TRUE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glColor4f(1, 1, 1, 1);
    for (const GLenum mode : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(mode);
        glLoadIdentity();
    }
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    while (glGetError() != GL_NO_ERROR) {
    }
}

void GlTest::TearDown() {
    const GLenum error = glGetError();
    EXPECT_EQ(error, static_cast<GLenum>(GL_NO_ERROR)) << "GL error 0x" << std::hex << error;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // gtest_discover_tests lists the tests without a display: no window is needed for that.
    if (!::testing::GTEST_FLAG(list_tests)) {
        OpenGlWindow(&argc, argv, "gl tests");
    }
    return RUN_ALL_TESTS();
}
