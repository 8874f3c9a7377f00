// The GLUT callbacks.
#include "shell/Callbacks.h"

#include <GL/freeglut.h>
#ifdef EMBERVANE_SANITIZE
#include <sanitizer/lsan_interface.h>
#endif

#include "gl/Scene.h"
#include "program/Camera.h"
#include "program/Commands.h"
#include "program/Frame.h"
#include "program/Interruption.h"
#include "program/ProgramState.h"
#include "program/WindowEvents.h"
#include "program/Workload.h"
#include "shell/FreeglutMenuWorkaround.h"

namespace {

constexpr unsigned kHiddenWatchMs = 100;  // how soon a hidden program hears an interruption
bool watching = false;                    // the timer below is armed

void EndIfInterrupted() {
    if (const int signal = PendingInterruption()) {
        EndByInterruption(signal);
    }
}

// While the window is hidden no frame runs to see an interruption, or the menu's pointer: a timer
// looks instead, one at a time however often the window comes and goes.
void WatchWhileHidden(int /*value*/) {
    EndIfInterrupted();
    FollowMenuPointer();  // a button still held when the menu closed is waited for here too
    watching = !FramesRunning();
    if (watching) {
        glutTimerFunc(kHiddenWatchMs, WatchWhileHidden, 0);
    }
}

// The GL side of a new size: the projection, and a frame drawn at it.
void DrawAtSize(int width, int height) {
    SetProjection(width, height);
    glutPostRedisplay();
}

}  // namespace

void Idle() {
    EndIfInterrupted();
    StepFrame(glutPostRedisplay);
    FollowMenuPointer();
}

void WindowStatus(int state) {
    // freeglut draws nothing for a window that cannot be seen, but would go on calling Idle,
    // whose frames would count as drawn: no frames at all until the window shows again.
    const bool shown = state == GLUT_FULLY_RETAINED || state == GLUT_PARTIALLY_RETAINED;
    if (state == GLUT_HIDDEN) {
        CloseMenu();  // minimized or on another desktop: no entry may act on a window not seen
    }
    if (ShowWindow(shown)) {
        glutIdleFunc(shown ? Idle : nullptr);
        if (!shown && !watching) {
            watching = true;
            glutTimerFunc(kHiddenWatchMs, WatchWhileHidden, 0);
        }
    }
}

void Close() {
    ApplyWindowClose();
#ifdef EMBERVANE_SANITIZE
    // The checked build looks for leaks here, while the window, its context and the GL driver
    // still live: what is unreachable now is the program's own doing. At the process's end the
    // driver has been unloaded, and what it leaves in its teardown could not even be named.
    __lsan_do_leak_check();
#endif
}

void Keyboard(unsigned char key, int /*x*/, int /*y*/) {
    if (ApplyKey(key)) {  // a viewport key, which has resized the view as Reshape would
        DrawAtSize(viewState.windowWidth, viewState.windowHeight);
    }
}

void MenuSelect(int value) {
    ApplyMenu(value);
}

void MenuStatus(int status, int /*x*/, int /*y*/) {
    DisturbWorkload();  // the menu's own drawing is part of the frame's work while it is open
    if (status == GLUT_MENU_IN_USE) {
        HandMenuThePointer();
    } else {
        TakeBackThePointer();
    }
}

void Reshape(int width, int height) {
    ResizeView(width, height);
    DrawAtSize(width, height);
}

void Motion(int x, int y) {
    DragCamera(x, y);
}

void PassiveMotion(int x, int y) {
    TrackPointer(x, y);
}
