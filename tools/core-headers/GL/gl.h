// The core draws nothing and opens no window: a core file that includes this fails to build.
#error "no GL, GLUT or X header in the core; that belongs to gl/ and shell/"
