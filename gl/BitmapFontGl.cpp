// The GL part of the text renderer: loading the glyph sheet, Print with its state handling,
// and the GL text backend that draws glyph quads.
#include "text/BitmapFont.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include <GL/gl.h>
// Windows' GL header brings windows.h, whose DrawText is a macro for a function of its own.
#undef DrawText

#include "image/Texture.h"

namespace {

void DrawGlQuad(const GlyphQuad& quad) {
    glColor4ubv(quad.bottom.data());
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(quad.s[0], quad.t[0]);
    glVertex2i(quad.x[0], quad.y[0]);
    glTexCoord2f(quad.s[1], quad.t[1]);
    glVertex2i(quad.x[1], quad.y[1]);
    glColor4ubv(quad.top.data());
    glTexCoord2f(quad.s[2], quad.t[2]);
    glVertex2i(quad.x[2], quad.y[2]);
    glTexCoord2f(quad.s[3], quad.t[3]);
    glVertex2i(quad.x[3], quad.y[3]);
    glEnd();
}

void DeleteGlTexture(unsigned textureName) {
    glDeleteTextures(1, &textureName);
}

// A font that has touched GL draws and deletes through GL from then on.
void UseGlTextBackend() {
    textBackend = {DrawGlQuad, DeleteGlTexture};
}

int IsOn(GLenum capability) {
    return glIsEnabled(capability) ? 1 : 0;
}

}  // namespace

void TextGlState::Save() {
    texture2D = IsOn(GL_TEXTURE_2D);
    if (!texture2D) {
        glEnable(GL_TEXTURE_2D);
    }
    depthTest = IsOn(GL_DEPTH_TEST);
    if (depthTest) {
        glDisable(GL_DEPTH_TEST);
    }
    lighting = IsOn(GL_LIGHTING);
    if (lighting) {
        glDisable(GL_LIGHTING);
    }
    // The scissor rectangle is left as it is: text outside it is clipped.
    scissorTest = IsOn(GL_SCISSOR_TEST);
    if (!scissorTest) {
        glEnable(GL_SCISSOR_TEST);
    }
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    blend = IsOn(GL_BLEND);
    glGetIntegerv(GL_BLEND_SRC, &blendSrc);
    glGetIntegerv(GL_BLEND_DST, &blendDst);
    if (!blend) {
        glEnable(GL_BLEND);
    }
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void TextGlState::Restore() {
    if (lighting) {
        glEnable(GL_LIGHTING);
    }
    if (!blend) {
        glDisable(GL_BLEND);
    }
    glBlendFunc(static_cast<GLenum>(blendSrc), static_cast<GLenum>(blendDst));
    if (depthTest) {
        glEnable(GL_DEPTH_TEST);
    }
    if (!texture2D) {
        glDisable(GL_TEXTURE_2D);
    }
    if (!scissorTest) {
        glDisable(GL_SCISSOR_TEST);
    }
    glMatrixMode(static_cast<GLenum>(matrixMode));
}

bool BitmapFont::Load(const char* fileName, int rows, int columns) {
    if (fileName == nullptr || rows < 0 || columns < 0) {
        return false;
    }
    UseGlTextBackend();
    Texture sheet;
    // A font loaded twice gives its earlier sheet back instead of losing the name.
    if (textureName != 0) {
        glDeleteTextures(1, &textureName);
    }
    glGenTextures(1, &textureName);
    if (sheet.Load(fileName, textureName, /*formatOverride=*/0) != kImageOk) {
        return false;
    }
    sheet.Upload(/*releasePixels=*/true);
    if (rows != 0 && columns != 0 && static_cast<int64_t>(rows) * columns == 256) {
        BuildGlyphGrid(rows, columns);
    } else {
        BuildGlyphGrid(16, 16);
    }
    return true;
}

void BitmapFont::Print(int x, int y, const char* format, ...) {
    UseGlTextBackend();
    va_list values;
    va_start(values, format);
    // Never past the buffer: a longer text is cut at its end.
    std::vsnprintf(textBuffer, sizeof(textBuffer), format, values);
    va_end(values);

    if (!skipStateSave) {
        savedState.Save();
    }
    if (!skipProjection) {
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        if (useCustomProjection) {
            glOrtho(projLeft, projRight, projBottom, projTop, -1, 1);
        } else {
            GLint viewport[4];
            glGetIntegerv(GL_VIEWPORT, viewport);
            // A collapsed viewport draws nothing either way, but an empty ortho box is a GL error.
            glOrtho(0, std::max(viewport[2], 1), 0, std::max(viewport[3], 1), -1, 1);
        }
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
    }
    glBindTexture(GL_TEXTURE_2D, textureName);
    DrawText(x, y, textBuffer);
    if (!skipProjection) {
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
    }
    if (!skipStateSave) {
        savedState.Restore();
    }
    ResetStyle();
}
