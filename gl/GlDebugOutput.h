// GL's own error reports, for the sanitizer build: every message a debug context raises ends
// the program, so a call that one driver forgives cannot pass the system tests unseen.
#pragma once

// Needs a current context made with GLUT_DEBUG. Installs a callback that prints any message
// above notification severity to stderr and aborts, synchronously, inside the offending call.
// Aborts at once if the context reports no debug output: the check must not go missing quietly.
void AbortOnGlMessages();
