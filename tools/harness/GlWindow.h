// Opens the program's own window for the GL benchmarks and the golden frames, so that they draw
// with the display mode, size and context that the program has.
#pragma once

#include <GL/freeglut.h>

#include "shell/ProgramWindow.h"

inline void OpenGlWindow(int* argc, char** argv) {
    OpenProgramWindow(argc, argv);
    glutDisplayFunc([] {});
    for (int i = 0; i < 5; ++i) {  // lets the window reach its size before anything is drawn
        glutMainLoopEvent();
    }
}
