// The GLUT callbacks and the one-time scene set-up.
#include "app/Callbacks.h"

#include <GL/freeglut.h>

#include "app/Camera.h"
#include "app/Commands.h"
#include "app/DesktopWindow.h"
#include "app/FrameClock.h"
#include "app/OrbitReport.h"
#include "app/ProgramState.h"
#include "image/Texture.h"
#include "sim/Effects.h"
#include "sim/Random.h"

namespace {

constexpr double kFieldOfView = 90.0;  // degrees, vertical
constexpr double kNearPlane = 1.0;
constexpr double kFarPlane = 9999.0;

bool framesRunning = true;  // Idle is registered; false while the window cannot be seen

}  // namespace

void Idle() {
    StepFrame(glutPostRedisplay);
    RedrawOpenMenu();
}

void WindowStatus(int state) {
    // freeglut draws nothing for a window that cannot be seen, but would go on calling Idle,
    // whose frames would count as drawn: no frames at all until the window shows again.
    const bool shown = state == GLUT_FULLY_RETAINED || state == GLUT_PARTIALLY_RETAINED;
    if (shown == framesRunning) {
        return;
    }
    framesRunning = shown;
    if (shown) {
        ResumeFrames();
    }
    glutIdleFunc(shown ? Idle : nullptr);
}

void Close() {
    ApplyWindowClose();
}

void Keyboard(unsigned char key, int /*x*/, int /*y*/) {
    if (ApplyKey(key)) {
        Reshape(viewState.windowWidth, viewState.windowHeight);
    }
}

void MenuSelect(int value) {
    ApplyMenu(value);
}

void MenuStatus(int status, int /*x*/, int /*y*/) {
    if (status == GLUT_MENU_IN_USE) {
        HandMenuThePointer();
    } else {
        TakeBackThePointer();
    }
}

void Reshape(int width, int height) {
    viewState.windowWidth = width;
    viewState.windowHeight = height;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, AspectRatio(width, height), kNearPlane, kFarPlane);
    glutPostRedisplay();
    RestartOrbitTurn();  // a benchmark turn draws one size of picture
}

void Motion(int x, int y) {
    DragCamera(x, y);
}

void PassiveMotion(int x, int y) {
    TrackPointer(x, y);
}

void InitScene() {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);  // additive: particles never hide one another
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glClearColor(0, 0, 0, 0);

    PlaceCamera();

    StartClocks();
    SeedRandom();
    ResetParticles();

    // Failures are not looked at: a missing or rejected image leaves its name without a
    // picture, and the scene is drawn untextured there.
    font.Load("font.tga", /*rows=*/0, /*columns=*/0);
    Texture floor;
    Texture sprite;
    glGenTextures(1, &floorTextureName);
    glGenTextures(1, &spriteTextureName);
    floor.Load("wood.tga", floorTextureName, /*formatOverride=*/0);
    sprite.Load("star.tga", spriteTextureName, /*formatOverride=*/0);
    floor.Upload(/*releasePixels=*/true);
    sprite.Upload(/*releasePixels=*/true);
}
