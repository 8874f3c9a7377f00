// The one-time scene set-up and the projection.
#include "gl/Scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "image/Texture.h"
#include "program/Camera.h"
#include "program/Frame.h"
#include "program/ProgramState.h"
#include "sim/Effects.h"
#include "sim/Random.h"

namespace {

constexpr double kFieldOfView = 90.0;  // degrees, vertical
constexpr double kNearPlane = 1.0;
constexpr double kFarPlane = 9999.0;

}  // namespace

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

void SetProjection(int width, int height) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, AspectRatio(width, height), kNearPlane, kFarPlane);
}
