// The GL half of the texture: the upload.
#include <GL/gl.h>
#include <GL/glu.h>

#include "image/Texture.h"

static_assert(kGlRepeat == GL_REPEAT && kGlModulate == GL_MODULATE && kGlAlpha == GL_ALPHA &&
              kGlRgb == GL_RGB && kGlRgba == GL_RGBA && kGlLinear == GL_LINEAR &&
              kGlLinearMipmapLinear == GL_LINEAR_MIPMAP_LINEAR);

int Texture::Upload(bool releasePixels) {
    if (pixels == nullptr) {
        return kTextureNoPixels;
    }
    if (!IsPowerOfTwo(width) || !IsPowerOfTwo(height)) {
        return kTextureBadSize;
    }
    glBindTexture(GL_TEXTURE_2D, textureName);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapS);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapT);
    // A single level is complete only with a filter that reads no other level.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, envMode);
    if (mipmaps) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormat, width, height,
                          static_cast<GLenum>(pixelFormat), GL_UNSIGNED_BYTE, pixels);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0,
                     static_cast<GLenum>(pixelFormat), GL_UNSIGNED_BYTE, pixels);
    }
    if (releasePixels) {
        ReleasePixels();
    }
    return kImageOk;
}
