// A new size and the window's visibility.
#include "program/WindowEvents.h"

#include "program/Frame.h"
#include "program/ProgramState.h"
#include "program/Workload.h"

namespace {

bool framesRunning = true;

}  // namespace

void ResizeView(int width, int height) {
    viewState.windowWidth = width;
    viewState.windowHeight = height;
    SetWorkload();  // a benchmark turn draws one size of picture
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

bool FramesRunning() {
    return framesRunning;
}
