// The GL test harness and the main function of the GL test binary.
#include "GlHarness.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>

namespace {

class GlEnvironment : public ::testing::Environment {
public:
    GlEnvironment(int* argc, char** argv) : argc_(argc), argv_(argv) {}

    void SetUp() override {
        // freeglut ends the process unless glutInit comes before the window.
        glutInit(argc_, argv_);
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
        glutInitWindowSize(kHarnessWidth, kHarnessHeight);
        glutCreateWindow("gl tests");
        glutDisplayFunc([] {});
        // Let the window reach its size before anything is drawn into it.
        for (int i = 0; i < 5; ++i) {
            glutMainLoopEvent();
        }
        ASSERT_NE(glGetString(GL_RENDERER), nullptr);
        std::printf("GL renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    }

private:
    int* argc_;
    char** argv_;
};

}  // namespace

Rgb ReadPixel(int x, int y) {
    unsigned char rgba[4] = {};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

::testing::AssertionResult PixelNear(const char* where, Rgb observed, Rgb expected,
                                     int tolerance) {
    for (int i = 0; i < 3; ++i) {
        if (std::abs(observed[i] - expected[i]) > tolerance) {
            return ::testing::AssertionFailure()
                   << where << ": Expected: (" << expected[0] << ", " << expected[1] << ", "
                   << expected[2] << ") Observed: (" << observed[0] << ", " << observed[1]
                   << ", " << observed[2] << ") tolerance " << tolerance;
        }
    }
    return ::testing::AssertionSuccess();
}

void ResetGlState() {
    glViewport(0, 0, kHarnessWidth, kHarnessHeight);
    glScissor(0, 0, kHarnessWidth, kHarnessHeight);
    for (const GLenum cap : {GL_DEPTH_TEST, GL_TEXTURE_2D, GL_BLEND, GL_CULL_FACE, GL_SCISSOR_TEST,
                             GL_LIGHTING}) {
        glDisable(cap);
    }
    glBlendFunc(GL_ONE, GL_ZERO);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glCullFace(GL_BACK);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glColor4f(1, 1, 1, 1);
    for (const GLenum mode : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(mode);
        glLoadIdentity();
    }
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    while (glGetError() != GL_NO_ERROR) {
    }
}

void GlTest::SetUp() { ResetGlState(); }

void GlTest::TearDown() { EXPECT_EQ(GlErrorName(), "GL_NO_ERROR"); }

std::string GlErrorName() {
    switch (glGetError()) {
        case GL_NO_ERROR:
            return "GL_NO_ERROR";
        case GL_INVALID_ENUM:
            return "GL_INVALID_ENUM";
        case GL_INVALID_VALUE:
            return "GL_INVALID_VALUE";
        case GL_INVALID_OPERATION:
            return "GL_INVALID_OPERATION";
        case GL_STACK_OVERFLOW:
            return "GL_STACK_OVERFLOW";
        case GL_STACK_UNDERFLOW:
            return "GL_STACK_UNDERFLOW";
        default:
            return "another GL error";
    }
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // gtest_discover_tests lists the tests without a display: no window is needed for that.
    if (!::testing::GTEST_FLAG(list_tests)) {
        ::testing::AddGlobalTestEnvironment(new GlEnvironment(&argc, argv));
    }
    return RUN_ALL_TESTS();
}
