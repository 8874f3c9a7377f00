// Draws one frame: camera, floor, the four HUD lines and every active particle as a
// camera-facing square.
#include "gl/Display.h"

#include <cstdio>

#include <GL/freeglut.h>

#include "program/ProgramState.h"
#include "render/Hud.h"
#include "render/Matrix.h"
#include "sim/Particles.h"

float viewMatrix[16];

namespace {

void DrawFloor() {
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, floorTextureName);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_QUADS);
    glColor3f(0.0f, 0.3f, 0.4f);
    // Upper face at -11.2, counter-clockwise from above; the lower face at -12.2 has the same
    // corners reversed, so culling shows whichever faces the eye.
    glTexCoord2f(0, 0);
    glVertex3f(-200, -11.2f, -200);
    glTexCoord2f(0, 6);
    glVertex3f(-200, -11.2f, 200);
    glTexCoord2f(6, 6);
    glVertex3f(200, -11.2f, 200);
    glTexCoord2f(6, 0);
    glVertex3f(200, -11.2f, -200);
    glTexCoord2f(6, 0);
    glVertex3f(200, -12.2f, -200);
    glTexCoord2f(6, 6);
    glVertex3f(200, -12.2f, 200);
    glTexCoord2f(0, 6);
    glVertex3f(-200, -12.2f, 200);
    glTexCoord2f(0, 0);
    glVertex3f(-200, -12.2f, -200);
    glEnd();
}

// Corner offsets from the particle's centre, per axis, for the four corners in drawing order:
// -right-up, right-up, right+up, up-right, scaled by the half size. The sums are formed in
// double once per frame; adding them to each coordinate in double gives the same floats as
// forming them per particle.
struct SpriteCorners {
    double offset[4][3];
};

SpriteCorners ComputeCorners() {
    SpriteCorners corners;
    for (int axis = 0; axis < 3; ++axis) {
        const double right = viewMatrix[axis];
        const double up = viewMatrix[4 + axis];
        corners.offset[0][axis] = kSpriteHalfSize * (-right - up);
        corners.offset[1][axis] = kSpriteHalfSize * (right - up);
        corners.offset[2][axis] = kSpriteHalfSize * (right + up);
        corners.offset[3][axis] = kSpriteHalfSize * (up - right);
    }
    return corners;
}

inline void DrawSprite(const Particle& p, const SpriteCorners& c) {
    static constexpr float kCornerS[4] = {0, 1, 1, 0};
    static constexpr float kCornerT[4] = {0, 0, 1, 1};
    glColor4f(p.red, p.green, p.blue, p.lifeFraction);
    const double x = p.x;
    const double y = p.y;
    const double z = p.z;
    for (int corner = 0; corner < 4; ++corner) {
        glTexCoord2f(kCornerS[corner], kCornerT[corner]);
        glVertex3f(static_cast<float>(x + c.offset[corner][0]),
                   static_cast<float>(y + c.offset[corner][1]),
                   static_cast<float>(z + c.offset[corner][2]));
    }
}

void DrawParticles() {
    glBindTexture(GL_TEXTURE_2D, spriteTextureName);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const SpriteCorners corners = ComputeCorners();
    glBegin(GL_QUADS);
    // The count is a multiple of 500, so pairs cover the active records exactly.
    const int count = particleCount;
    for (int i = 0; i < count; i += 2) {
        DrawSprite(particlePool[i], corners);
        DrawSprite(particlePool[i + 1], corners);
    }
    glEnd();
}

}  // namespace

void DrawHud() {
    glEnable(GL_BLEND);
    glDepthMask(GL_FALSE);
    font.cellSize = kHudCellSize;
    font.colour = HudCountColour(particleCount);
    font.Print(0, 24, "%d particles", particleCount);
    // Formatted here first: its length places the next text.
    char rate[64];
    const int rateLength =
        std::snprintf(rate, sizeof(rate), "%3.1f FPS - %d Kp/sec",
                      static_cast<double>(frameStats.fps), KiloRate(frameStats.particlesPerSecond));
    font.Print(0, 12, "%s", rate);
    font.Print(HudAverageColumn(rateLength), 12, "[ Avg: %d Kp/sec ] [ Peak: %d Kp/sec ]",
               KiloRate(frameStats.averageParticlesPerSecond),
               KiloRate(frameStats.peakParticlesPerSecond));
    font.Print(0, 0, "%s", benchmarkMode ? kBenchmarkModeLine : kFreeModeLine);
}

void DrawScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float* eye = viewState.cameraPosition;
    glTranslatef(-eye[0], -eye[1], -eye[2]);
    glRotatef(viewState.cameraPitch, 1, 0, 0);
    glRotatef(viewState.cameraYaw, 0, 1, 0);
    glRotatef(viewState.cameraRoll, 0, 0, 1);
    glGetFloatv(GL_MODELVIEW_MATRIX, viewMatrix);
    TransposeMatrix(viewMatrix);

    DrawFloor();
    DrawHud();
    DrawParticles();
    glDepthMask(GL_TRUE);
}

void Display() {
    DrawScene();
    glutSwapBuffers();
}
