// The GL-free half of the texture: loading and choosing formats.
#include "image/Texture.h"

bool IsPowerOfTwo(int n) {
    for (int power = 1; power <= 1024; power *= 2) {
        if (n == power) {
            return true;
        }
    }
    return false;
}

Texture::~Texture() = default;

int Texture::Load(const char* fileName, unsigned name, int formatOverride) {
    const int result = Image::Load(fileName);
    if (result == kImageOk) {
        ChooseFormats();
        textureName = name;
        if (formatOverride != 0) {
            pixelFormat = formatOverride;
        }
    }
    return result;
}

void Texture::ChooseFormats() {
    int format = 0;
    switch (bitsPerPixel) {
        case 8:
            format = kGlAlpha;
            break;
        case 24:
            format = kGlRgb;
            break;
        case 32:
            format = kGlRgba;
            break;
        default:
            return;
    }
    pixelFormat = format;
    internalFormat = format;
}
