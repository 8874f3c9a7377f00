// Opens the one 640x480 GLUT window that the GL benchmarks and the golden frames draw into, as
// the program does.
#pragma once

#include <GL/freeglut.h>

inline void OpenGlWindow(int* argc, char** argv, const char* title) {
    // freeglut ends the process unless glutInit comes before the window.
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(640, 480);
    glutCreateWindow(title);
    glutDisplayFunc([] {});
    for (int i = 0; i < 5; ++i) {  // lets the window reach its size before anything is drawn
        glutMainLoopEvent();
    }
}
