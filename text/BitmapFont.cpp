// The GL-free part of the text renderer: construction, style, glyph grid and the text walk.
// Glyph quads leave through textBackend.
#include "text/BitmapFont.h"

namespace {

constexpr Rgba kWhite = {255, 255, 255, 255};
constexpr Rgba kGrey = {128, 128, 128, 255};
constexpr int kDefaultCellSize = 12;  // pixels
constexpr int kItalicShear = 8;       // pixels
constexpr int kBoldOffset = 2;        // pixels
constexpr int kTabCells = 4;

void DrawNothing(const GlyphQuad&) {}
void DeleteNothing(unsigned) {}

}  // namespace

TextBackend textBackend = {DrawNothing, DeleteNothing};
char textBuffer[kTextBufferSize];

BitmapFont::BitmapFont()
    : textureName(0),
      cellSize(kDefaultCellSize),
      glyphWidth(0),
      glyphHeight(0),
      glyphCoords(),
      skipStateSave(false),
      skipProjection(false),
      useCustomProjection(false),
      yDirection(1),
      xDirection(1),
      projLeft(0),
      projRight(0),
      projBottom(0),
      projTop(0),
      savedState() {
    ResetStyle();
}

BitmapFont::~BitmapFont() {
    if (textureName != 0) {
        textBackend.deleteTexture(textureName);
    }
    textureName = 0;
}

void BitmapFont::ResetStyle() {
    bold = false;
    italic = false;
    gradient = false;
    shadow = false;
    boxMode = false;
    boxLeft = 0;
    boxTop = 0;
    boxWidth = 0;
    boxHeight = 0;
    colour = kWhite;
    gradientColour = kGrey;
    shadowColour = kGrey;
}

void BitmapFont::BuildGlyphGrid(int rows, int columns) {
    glyphWidth = 1.0f / static_cast<float>(columns);
    glyphHeight = 1.0f / static_cast<float>(rows);
    // With a product of 256 both counts are powers of two and every sum here is exact, so the
    // loops write exactly 256 entries; the bound guards the table all the same.
    int entry = 0;
    for (float t = 1.0f - glyphHeight; t >= 0.0f && entry < 256; t -= glyphHeight) {
        for (float s = 0.0f; s <= 1.0f - glyphWidth && entry < 256; s += glyphWidth) {
            glyphCoords[entry][0] = s;
            glyphCoords[entry][1] = t;
            ++entry;
        }
    }
}

void BitmapFont::DrawText(int x, int y, const char* text) {
    const int lineStartX = boxMode ? boxLeft : x;
    int penX = lineStartX;
    int penY = boxMode ? boxTop - yDirection * cellSize : y;
    for (const char* c = text; *c != '\0'; ++c) {
        if (boxMode) {
            const bool pastRight = xDirection > 0 && penX + cellSize > boxLeft + boxWidth;
            const bool pastLeft = xDirection < 0 && penX - cellSize < boxLeft - boxWidth;
            if (pastRight || pastLeft) {
                penY -= yDirection * cellSize;
                penX = boxLeft;
            }
            const bool belowBox = yDirection > 0 && penY < boxTop - boxHeight;
            const bool aboveBox = yDirection < 0 && penY > boxTop + boxHeight;
            if (belowBox || aboveBox) {
                return;  // the rest of the text, markup included, is not read
            }
        }
        switch (*c) {
            case '\t':
                // Always toward +x, whatever xDirection says.
                penX += kTabCells * cellSize;
                break;
            case '\n':
                penY -= yDirection * cellSize;
                penX = lineStartX;
                break;
            case '\\': {
                Rgba parsed = colour;
                switch (ParseEscape(c, parsed)) {
                    case kNoEscape:
                        DrawGlyph(penX, penY, '\\');
                        penX += xDirection * cellSize;
                        break;
                    case kBoldOn:
                        bold = true;
                        break;
                    case kBoldOff:
                        bold = false;
                        break;
                    case kItalicOn:
                        italic = true;
                        break;
                    case kItalicOff:
                        italic = false;
                        break;
                    default:
                        colour = parsed;
                        break;
                }
                break;
            }
            default:
                DrawGlyph(penX, penY, static_cast<uint8_t>(*c));
                penX += xDirection * cellSize;
                break;
        }
    }
}

void BitmapFont::DrawGlyph(int x, int y, uint8_t character) {
    if (shadow) {
        const int along = bold ? 2 * kBoldOffset : kBoldOffset;
        DrawGlyphQuad(x + along * xDirection, y + kBoldOffset * yDirection, character);
    }
    const bool hadShadow = shadow;
    shadow = false;
    DrawGlyphQuad(x, y, character);
    if (bold) {
        DrawGlyphQuad(x + kBoldOffset * xDirection, y, character);
    }
    shadow = hadShadow;
}

void BitmapFont::DrawGlyphQuad(int x, int y, uint8_t character) {
    const float s = glyphCoords[character][0];
    const float t = glyphCoords[character][1];
    const int shear = italic ? kItalicShear : 0;
    const int right = x + cellSize * xDirection;
    const int top = y + cellSize * yDirection;
    GlyphQuad quad;
    quad.x[0] = x;
    quad.x[1] = right;
    quad.x[2] = x + (cellSize + shear) * xDirection;
    quad.x[3] = x + shear * xDirection;
    quad.y[0] = y;
    quad.y[1] = y;
    quad.y[2] = top;
    quad.y[3] = top;
    quad.s[0] = s;
    quad.s[1] = s + glyphWidth;
    quad.s[2] = s + glyphWidth;
    quad.s[3] = s;
    quad.t[0] = t;
    quad.t[1] = t;
    quad.t[2] = t + glyphHeight;
    quad.t[3] = t + glyphHeight;
    // A shadow pass is in the shadow colour top and bottom, gradient or not.
    quad.bottom = shadow ? shadowColour : gradient ? gradientColour : colour;
    quad.top = shadow ? shadowColour : colour;
    quad.character = character;
    textBackend.drawQuad(quad);
}
