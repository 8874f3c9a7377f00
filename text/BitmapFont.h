// The bitmap-font text renderer: one glyph sheet of 256 cells, every character drawn as one
// textured quad of cellSize pixels, with inline markup for bold, italic and colour.
#pragma once

#include <cstdint>

#include "text/Markup.h"

// What Print saved of the GL state, to be put back after drawing.
struct TextGlState {
    int matrixMode;
    int lighting;  // 1 if the capability was enabled, else 0
    int blend;
    int depthTest;
    int texture2D;
    int scissorTest;
    int blendSrc;
    int blendDst;

    // Records the state, then sets up for text: 2D texturing and scissoring on, depth test and
    // lighting off, blending (source alpha, one minus source alpha) on.
    void Save();
    // Puts back the enables, the blend function and the matrix mode; not the bound texture or
    // the current colour.
    void Restore();
};

// One glyph pass as drawn: a four-vertex fan from the bottom-left corner counter-clockwise,
// with the bottom two vertices in `bottom` and the top two in `top`.
struct GlyphQuad {
    int x[4];
    int y[4];
    float s[4];
    float t[4];
    Rgba bottom;
    Rgba top;
    uint8_t character;
};

// Where glyph quads and texture deletions go. The GL library supplies the real one; until a
// font touches GL (Load or Print) nothing is drawn, which lets the text walk run in tests.
struct TextBackend {
    void (*drawQuad)(const GlyphQuad& quad);
    void (*deleteTexture)(unsigned textureName);
};
extern TextBackend textBackend;

// Every Print formats into this; longer text is cut at 4095 characters.
constexpr int kTextBufferSize = 4096;
extern char textBuffer[kTextBufferSize];

class BitmapFont {
public:
    BitmapFont();  // no GL call
    BitmapFont(const BitmapFont&) = delete;
    BitmapFont& operator=(const BitmapFont&) = delete;
    virtual ~BitmapFont();  // deletes textureName, if any

    // Style back to plain white text: flags off, box cleared, default colours. Leaves cellSize,
    // the texture, the grid, the directions, the three skip/projection flags and the custom
    // rectangle.
    void ResetStyle();

    // Generates textureName, loads the glyph sheet into it and builds the glyph grid (rows x
    // columns, or 16 x 16 unless their product is 256). False at once for a null name or a
    // negative count (no GL call); false when the file cannot be read, with textureName holding
    // the new, empty name. True otherwise, even if the upload itself failed.
    bool Load(const char* fileName, int rows, int columns);

    // Glyph texture coordinates for a grid of rows x columns cells (product 256), numbered
    // row by row from the top-left cell of the picture.
    void BuildGlyphGrid(int rows, int columns);

    // Formats printf-style text and draws it with its pen at pixel (x, y) of the viewport,
    // origin lower-left. Saves and restores the GL state it changes (unless skipStateSave) and
    // sets up a pixel projection (unless skipProjection); leaves the sheet bound and the last
    // colour current. Resets the style afterwards, whatever the flags.
    [[gnu::format(printf, 4, 5)]] void Print(int x, int y, const char* format, ...);

    // Walks the text from pen (x, y): tabs, newlines, escapes, box wrap and stop.
    void DrawText(int x, int y, const char* text);
    // One character with its shadow and bold passes.
    void DrawGlyph(int x, int y, uint8_t character);
    // One coloured, textured quad of the character at (x, y).
    void DrawGlyphQuad(int x, int y, uint8_t character);

    unsigned textureName;  // owned; 0 for none
    int cellSize;          // pixels: glyph size, advance and line height; kept by ResetStyle
    bool bold;
    bool italic;
    bool gradient;
    bool shadow;
    bool boxMode;
    Rgba colour;
    Rgba gradientColour;
    Rgba shadowColour;
    int boxLeft;
    int boxTop;
    int boxWidth;
    int boxHeight;
    float glyphWidth;           // texture units: 1 / columns
    float glyphHeight;          // texture units: 1 / rows
    float glyphCoords[256][2];  // lower-left (s, t) of each character's cell
    bool skipStateSave;
    bool skipProjection;
    bool useCustomProjection;
    int yDirection;  // +1 or -1
    int xDirection;  // +1 or -1
    int projLeft;
    int projRight;
    int projBottom;
    int projTop;
    TextGlState savedState;
};
