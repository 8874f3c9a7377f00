// A new size and the window's visibility.
#include "program/WindowEvents.h"

#include "measure/OrbitTurn.h"
#include "program/Frame.h"
#include "program/ProgramState.h"

namespace {

bool framesRunning = true;  // the window was last reported shown, or never reported

}  // namespace

void ResizeView(int width, int height) {
    viewState.windowWidth = width;
    viewState.windowHeight = height;
    RestartOrbitTurn();  // a benchmark turn draws one size of picture
}

bool ShowWindow(bool shown) {
    if (shown == framesRunning) {
        return false;
    }
    framesRunning = shown;
    if (shown) {
        ResumeFrames();
    }
    return true;
}
