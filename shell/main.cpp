// The program's entry: the window, its callbacks and menu, the scene, then the event loop.
#include <GL/freeglut.h>

#include "gl/Display.h"
#include "gl/Scene.h"
#include "program/Commands.h"
#include "program/Interruption.h"
#include "shell/Callbacks.h"
#include "shell/FreeglutMenuWorkaround.h"
#include "shell/ProgramWindow.h"
#include "shell/SwapInterval.h"

int main(int argc, char** argv) {
    // The program itself reads no arguments; freeglut takes the X options it knows.
    OpenProgramWindow(&argc, argv);

    glutDisplayFunc(Display);
    glutReshapeFunc(Reshape);
    glutIdleFunc(Idle);
    glutKeyboardFunc(Keyboard);
    glutWindowStatusFunc(WindowStatus);
    glutCloseFunc(Close);

    glutCreateMenu(MenuSelect);
    for (const MenuEntry& entry : kMenuEntries) {
        glutAddMenuEntry(entry.label, entry.value);
    }
    FitMenuWindow(kMenuEntries);
    // The right button opens the menu, the only way to the two winds; left and middle drags
    // still turn the camera.
    glutAttachMenu(GLUT_RIGHT_BUTTON);
    glutMenuStatusFunc(MenuStatus);

    glutMotionFunc(Motion);
    glutPassiveMotionFunc(PassiveMotion);

    InitScene();
    DisableSwapWait();
    NameRun();
    CatchInterruptions();
    glutMainLoop();
    return 0;
}
