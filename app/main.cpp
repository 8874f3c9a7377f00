// The program's entry: the window, its callbacks and menu, the scene, then the event loop.
#include <GL/freeglut.h>

#include "app/Callbacks.h"
#include "app/Commands.h"
#include "app/DesktopWindow.h"
#include "app/GlDebugOutput.h"
#include "app/ProgramState.h"
#include "app/SwapInterval.h"
#include "render/Display.h"

int main(int argc, char** argv) {
    // freeglut needs its initialisation before any window; the program itself reads no
    // arguments (freeglut takes the X options it knows).
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(viewState.windowWidth, viewState.windowHeight);
#ifdef EMBERVANE_SANITIZE
    // The sanitizer build is the checked one: GL reports its own errors there too. freeglut
    // passes the debug flag only with a version above 2.1; 3.0 still has every old call.
    glutInitContextVersion(3, 0);
    glutInitContextFlags(GLUT_DEBUG);
#endif
    constexpr char kTitle[] = "Embervane " EMBERVANE_VERSION " Mar 7, 2001";
    glutCreateWindow(kTitle);
    IdentifyWindow(kTitle);
#ifdef EMBERVANE_SANITIZE
    AbortOnGlMessages();
#endif

    glutDisplayFunc(Display);
    glutReshapeFunc(Reshape);
    glutIdleFunc(Idle);
    glutKeyboardFunc(Keyboard);

    glutCreateMenu(MenuSelect);
    for (const MenuEntry& entry : kMenuEntries) {
        glutAddMenuEntry(entry.label, entry.value);
    }
    // The right button opens the menu, the only way to the two winds; left and middle drags
    // still turn the camera.
    glutAttachMenu(GLUT_RIGHT_BUTTON);

    glutMotionFunc(Motion);
    glutPassiveMotionFunc(PassiveMotion);

    InitScene();
    DisableSwapWait();
    glutMainLoop();
    return 0;
}
