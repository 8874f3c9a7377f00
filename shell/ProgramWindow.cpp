// The window's display mode, size, title and debug context, and what the run's name says of it.
#include "shell/ProgramWindow.h"

#include <string>

#include <GL/freeglut.h>

#include "gl/GlDebugOutput.h"
#include "program/ProgramState.h"
#include "shell/FreeglutMenuWorkaround.h"
#include "shell/SwapInterval.h"
#include "shell/WindowIdentity.h"

void OpenProgramWindow(int* argc, char** argv) {
    // freeglut needs its initialisation before any window.
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(viewState.windowWidth, viewState.windowHeight);
#ifdef EMBERVANE_SANITIZE
    // The sanitizer build is the checked one: GL reports its own errors there too. freeglut
    // passes the debug flag only with a version above 2.1; 3.0 still has every old call.
    glutInitContextVersion(3, 0);
    glutInitContextFlags(GLUT_DEBUG);
#endif
    glutCreateWindow(EMBERVANE_TITLE);
#ifdef EMBERVANE_SANITIZE
    AbortOnGlMessages();
#endif
    IdentifyWindow(EMBERVANE_TITLE);
    RememberProgramWindow();
}

namespace {

std::string GlString(GLenum name) {
    const auto* text = reinterpret_cast<const char*>(glGetString(name));
    return text != nullptr ? text : "";
}

}  // namespace

void NameRun() {
    runIdentity = {EMBERVANE_VERSION, GlString(GL_RENDERER), GlString(GL_VERSION),
                   GlString(GL_VENDOR), SwapIntervalInForce()};
}
