// The debug-output callback of the sanitizer build. The release program never installs it.
#include "gl/GlDebugOutput.h"

#include <cstdio>
#include <cstdlib>

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

namespace {

void GLAPIENTRY OnGlMessage(GLenum source, GLenum type, GLuint id, GLenum severity,
                            GLsizei /*length*/, const GLchar* message, const void* /*user*/) {
    // Notifications are chatter (object names, hints taken); everything above is a fault.
    if (severity == GL_DEBUG_SEVERITY_NOTIFICATION) {
        return;
    }
    std::fprintf(stderr, "GL debug message (source 0x%x, type 0x%x, id %u, severity 0x%x): %s\n",
                 source, type, id, severity, message);
    std::abort();
}

}  // namespace

void AbortOnGlMessages() {
    GLint flags = 0;
    glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
    if ((flags & GL_CONTEXT_FLAG_DEBUG_BIT) == 0) {
        std::fprintf(stderr, "no GL debug context: GL errors would go unchecked\n");
        std::abort();
    }
    // Synchronous, so that the abort's stack is the faulty call's own.
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(OnGlMessage, nullptr);
}
