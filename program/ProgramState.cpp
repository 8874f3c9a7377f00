// Definitions of the program-wide records. The three objects with constructors are defined
// here, in one file, because only within a file is their order of construction fixed.
#include "program/ProgramState.h"

Timer frameTimer;
BitmapFont font;  // destroyed at exit, when it deletes its texture name
Timer statsTimer;

FrameStats frameStats = {};
float previousFrameTime = 0;
float frameDelta = 0;

ViewState viewState = {
    .windowWidth = 640,
    .windowHeight = 480,
    .cameraPitch = 0,
    .cameraYaw = 35,
    .cameraRoll = 0,
    .cameraPosition = {kCameraPosition[0], kCameraPosition[1], kCameraPosition[2]},
    .lastPointerX = 0,
    .lastPointerY = 0,
};

int32_t benchmarkMode = 0;
int32_t savedParticleCount = 0;
unsigned floorTextureName = 0;
unsigned spriteTextureName = 0;

std::FILE* orbitReportStream = stdout;
RunIdentity runIdentity = {"", "", "", "", -1};
