// An image together with what makes it an OpenGL 2D texture. Loading needs no GL context; only
// Upload does, and it is defined in the GL library.
#pragma once

#include "image/Image.h"

// OpenGL enum values, spelled here so that the core library needs no GL headers. The GL side
// checks them against the real ones at compile time.
constexpr int kGlRepeat = 0x2901;
constexpr int kGlModulate = 0x2100;
constexpr int kGlAlpha = 0x1906;
constexpr int kGlRgb = 0x1907;
constexpr int kGlRgba = 0x1908;
constexpr int kGlLinear = 0x2601;
constexpr int kGlLinearMipmapLinear = 0x2703;

// True for 1, 2, 4, ..., 1024 and nothing else.
bool IsPowerOfTwo(int n);

class Texture : public Image {
public:
    Texture() = default;
    ~Texture() override;

    // Image::Load, then on success the formats by depth, the texture name and, when
    // formatOverride is nonzero, that client pixel format. A failure leaves textureName,
    // pixelFormat and internalFormat as they were. Makes no GL call.
    int Load(const char* fileName, unsigned textureName, int formatOverride);

    // Both formats from the depth: 8 alpha, 24 RGB, 32 RGBA; any other depth changes nothing.
    void ChooseFormats();

    // Uploads the pixels to textureName, with mip-maps when asked; kTextureNoPixels without
    // pixels and kTextureBadSize for sides that are not powers of two up to 1024, both before
    // any GL call. With releasePixels the client copy is freed once GL holds it. Leaves the
    // texture bound, an unpack alignment of 1 and the environment mode envMode.
    int Upload(bool releasePixels);

    bool mipmaps = true;
    int wrapS = kGlRepeat;
    int wrapT = kGlRepeat;
    int envMode = kGlModulate;
    unsigned textureName = 0;  // generated and deleted by the caller, never by the Texture
    int pixelFormat = 0;
    int internalFormat = 0;
};
