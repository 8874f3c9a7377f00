// The text renderer in a real GL context: loading the glyph sheet, the pixels of printed text,
// and the GL state Print leaves behind.
#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include <GL/gl.h>

#include "GlHarness.h"
#include "image/Image.h"
#include "text/BitmapFont.h"

namespace {

const char* const kSheet = EMBERVANE_DATA_DIR "/font.tga";

// Pixels brighter than a trace in any channel, and the rectangle [x0, x1) x [y0, y1) around them.
struct Ink {
    int count = 0;
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
};

Ink InkIn(int x, int y, int width, int height) {
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    Ink ink;
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            const unsigned char* p = &rgba[(static_cast<size_t>(j) * width + i) * 4];
            if (p[0] > 8 || p[1] > 8 || p[2] > 8) {
                ++ink.count;
                ink.x0 = std::min(ink.x0, x + i);
                ink.y0 = std::min(ink.y0, y + j);
                ink.x1 = std::max(ink.x1, x + i + 1);
                ink.y1 = std::max(ink.y1, y + j + 1);
            }
        }
    }
    return ink;
}

// Depth test, blend, 2D texture, scissor test, lighting, blend source and destination factors,
// matrix mode.
using GlState = std::array<int, 8>;
constexpr GLenum kCapabilities[5] = {GL_DEPTH_TEST, GL_BLEND, GL_TEXTURE_2D, GL_SCISSOR_TEST,
                                     GL_LIGHTING};
const GlState kAllOff = {0, 0, 0, 0, 0, GL_ONE, GL_ZERO, GL_TEXTURE};
const GlState kAllOn = {1, 1, 1, 1, 1, GL_DST_COLOR, GL_SRC_COLOR, GL_PROJECTION};

void Apply(const GlState& state) {
    for (int i = 0; i < 5; ++i) {
        state[i] ? glEnable(kCapabilities[i]) : glDisable(kCapabilities[i]);
    }
    glBlendFunc(static_cast<GLenum>(state[5]), static_cast<GLenum>(state[6]));
    glMatrixMode(static_cast<GLenum>(state[7]));
}

GlState Current() {
    GlState state;
    for (int i = 0; i < 5; ++i) {
        state[i] = glIsEnabled(kCapabilities[i]) ? 1 : 0;
    }
    glGetIntegerv(GL_BLEND_SRC, &state[5]);
    glGetIntegerv(GL_BLEND_DST, &state[6]);
    glGetIntegerv(GL_MATRIX_MODE, &state[7]);
    return state;
}

std::array<float, 16> Matrix(GLenum which) {
    std::array<float, 16> m;
    glGetFloatv(which, m.data());
    return m;
}

void ExpectStyleReset(const BitmapFont& font, const char* where) {
    EXPECT_FALSE(font.bold || font.italic || font.shadow || font.gradient) << where;
    EXPECT_EQ(font.colour, (Rgba{255, 255, 255, 255})) << where;
}

}  // namespace

// A harness test with the real glyph sheet loaded into `font`.
class TextGl : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_TRUE(font.Load(kSheet, 16, 16));
    }
    BitmapFont font;
};

TEST_F(TextGl, LoadRefusesNullNameAndNegativeCountsWithoutANewName) {
    const struct {
        const char* file;
        int rows, columns;
        const char* reason;
    } rows[] = {
        {nullptr, 16, 16, "null name"},
        {kSheet, -1, 16, "negative rows"},
        {kSheet, 16, -256, "negative columns"},
    };
    for (const auto& row : rows) {
        BitmapFont fresh;
        EXPECT_FALSE(fresh.Load(row.file, row.rows, row.columns)) << row.reason;
        EXPECT_EQ(fresh.textureName, 0u) << row.reason;
    }
}

TEST_F(TextGl, MissingFileKeepsANewNameThatTheFontDeletes) {
    GLuint name = 0;
    {
        BitmapFont fresh;
        EXPECT_FALSE(fresh.Load("/nonexistent-embervane-dir/font.tga", 16, 16));
        name = fresh.textureName;
        ASSERT_NE(name, 0u);
        glBindTexture(GL_TEXTURE_2D, name);  // a name is a texture only once bound
        glBindTexture(GL_TEXTURE_2D, 0);
        ASSERT_TRUE(glIsTexture(name));
    }
    EXPECT_FALSE(glIsTexture(name));
}

TEST_F(TextGl, LoadedSheetGivesItsGridOrSixteenBySixteen) {
    const struct {
        int rows, columns;
        float width, height;
        int entry;
        float s, t;
        const char* reason;
    } rows[] = {
        {16, 16, 0.0625f, 0.0625f, 16, 0, 0.875f, "square grid"},
        {8, 32, 0.03125f, 0.125f, 32, 0, 0.75f, "wide grid"},
        {16, 8, 0.0625f, 0.0625f, 16, 0, 0.875f, "product 128"},
        {3, 5, 0.0625f, 0.0625f, 16, 0, 0.875f, "product 15"},
        {0, 256, 0.0625f, 0.0625f, 16, 0, 0.875f, "no rows"},
    };
    for (const auto& row : rows) {
        BitmapFont fresh;
        ASSERT_TRUE(fresh.Load(kSheet, row.rows, row.columns)) << row.reason;
        EXPECT_EQ(fresh.glyphWidth, row.width) << row.reason;
        EXPECT_EQ(fresh.glyphHeight, row.height) << row.reason;
        EXPECT_EQ(fresh.glyphCoords[row.entry][0], row.s) << row.reason;
        EXPECT_EQ(fresh.glyphCoords[row.entry][1], row.t) << row.reason;
        GLint width = 0;
        GLint height = 0;
        glBindTexture(GL_TEXTURE_2D, fresh.textureName);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        glBindTexture(GL_TEXTURE_2D, 0);
        EXPECT_EQ(width, 256) << row.reason;
        EXPECT_EQ(height, 256) << row.reason;
    }
}

TEST_F(TextGl, MarkupColourShowsWhereTheSheetHasInk) {
    Image sheet;
    ASSERT_EQ(sheet.Load(kSheet), kImageOk);
    ASSERT_EQ(sheet.width, 256);
    font.cellSize = 64;
    font.Print(100, 100, "\\c(255 0 0)M ");

    // 'M' is the cell at row 4, column 13 of the picture: sheet columns 208 to 223 and, as the
    // file stores the bottom row first, file rows 176 to 191. One texel spans 4 x 4 pixels, and
    // a probe 2 pixels into a texel's square weighs that texel 7/8 along each axis.
    const auto alpha = [&](int i, int j) { return sheet.pixels[(176 + j) * 256 + 208 + i]; };
    int inkProbes = 0;
    int blankProbes = 0;
    for (int j = 1; j < 15; ++j) {
        for (int i = 1; i < 15; ++i) {
            int around = 0;
            for (int dj = -1; dj <= 1; ++dj) {
                for (int di = -1; di <= 1; ++di) {
                    around = std::max<int>(around, alpha(i + di, j + dj));
                }
            }
            const Rgb seen = ReadPixel(100 + 4 * i + 2, 100 + 4 * j + 2);
            const std::string where = "texel " + std::to_string(i) + "," + std::to_string(j);
            if (alpha(i, j) >= 250) {
                ++inkProbes;
                EXPECT_GE(seen[0], 185) << where;
                EXPECT_LE(seen[1], 3) << where;
                EXPECT_LE(seen[2], 3) << where;
            } else if (around == 0) {
                ++blankProbes;
                EXPECT_TRUE(PixelNear(where.c_str(), seen, {0, 0, 0}));
            }
        }
    }
    EXPECT_GE(inkProbes, 2);
    EXPECT_GE(blankProbes, 50);
    EXPECT_EQ(InkIn(164, 100, 64, 64).count, 0) << "the space after it";
}

TEST_F(TextGl, GradientRunsFromGradientColourAtTheBottomToColourAtTheTop) {
    font.cellSize = 64;
    font.gradient = true;
    font.colour = {255, 0, 0, 255};
    font.gradientColour = {0, 0, 255, 255};
    font.Print(100, 100, "M");
    // Red and blue summed over the lower and the upper half of the cell: both halves hold ink.
    std::vector<unsigned char> rgba(64 * 64 * 4);
    glReadPixels(100, 100, 64, 64, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    long red[2] = {};
    long blue[2] = {};
    for (int j = 0; j < 64; ++j) {
        for (int i = 0; i < 64; ++i) {
            red[j / 32] += rgba[(j * 64 + i) * 4];
            blue[j / 32] += rgba[(j * 64 + i) * 4 + 2];
        }
    }
    EXPECT_GT(blue[0], red[0]) << "lower half";
    EXPECT_GT(red[1], blue[1]) << "upper half";
}

TEST_F(TextGl, PrintPutsBackTheStateItChangesAndResetsTheStyle) {
    for (const GlState& state : {kAllOff, kAllOn}) {
        const std::string where = state[0] ? "all on" : "all off";
        Apply(state);
        const auto projection = Matrix(GL_PROJECTION_MATRIX);
        const auto modelview = Matrix(GL_MODELVIEW_MATRIX);
        font.bold = font.italic = font.shadow = font.gradient = true;
        font.colour = {1, 2, 3, 4};
        font.Print(10, 10, "Text %d", 1);
        EXPECT_EQ(Current(), state) << where;
        EXPECT_EQ(Matrix(GL_PROJECTION_MATRIX), projection) << where;
        EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX), modelview) << where;
        ExpectStyleReset(font, where.c_str());
    }
}

TEST_F(TextGl, EmptyTextStillSavesRestoresAndResetsStyle) {
    Apply(kAllOn);
    font.Print(0, 0, "x");  // leaves a saved state that a skipped save would wrongly restore
    Apply(kAllOff);
    font.bold = true;
    font.colour = {1, 2, 3, 4};
    font.Print(0, 0, "%s", "");
    EXPECT_EQ(Current(), kAllOff);
    ExpectStyleReset(font, "empty text");
}

TEST_F(TextGl, SkipStateSaveChangesNoEnableNorBlendFunction) {
    font.skipStateSave = true;
    for (const GlState& state : {kAllOff, kAllOn}) {
        Apply(state);
        font.Print(10, 10, "Text");
        const GlState after = Current();
        EXPECT_EQ(std::vector<int>(after.begin(), after.begin() + 7),
                  std::vector<int>(state.begin(), state.begin() + 7))
            << (state[0] ? "all on" : "all off");
    }
}

TEST_F(TextGl, TextBeyondTheScissorRectangleIsClipped) {
    glScissor(0, 0, 100, 480);
    font.cellSize = 32;
    font.Print(0, 200, "MMMMMMMM");
    EXPECT_GT(InkIn(0, 200, 100, 32).count, 0);
    EXPECT_EQ(InkIn(100, 0, 540, 480).count, 0);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

TEST_F(TextGl, CustomProjectionMapsTextCoordinatesOntoTheViewport) {
    font.useCustomProjection = true;
    font.projLeft = 0;
    font.projRight = 320;
    font.projBottom = 0;
    font.projTop = 240;
    font.cellSize = 10;
    font.Print(160, 120, "M");
    const Ink ink = InkIn(0, 0, kHarnessWidth, kHarnessHeight);
    ASSERT_GT(ink.count, 0);
    EXPECT_GE(ink.x0, 320);
    EXPECT_LE(ink.x1, 340);
    EXPECT_GE(ink.y0, 240);
    EXPECT_LE(ink.y1, 260);
    // The letter spans 8 of the cell's 16 texels: 10 pixels at double scale, 5 unscaled.
    EXPECT_GE(ink.x1 - ink.x0, 9);
}

TEST_F(TextGl, SkipProjectionDrawsThroughTheCallersMatrices) {
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, 64, 0, 48, -1, 1);  // ten window pixels per unit
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(10, 0, 0);
    const auto projection = Matrix(GL_PROJECTION_MATRIX);
    const auto modelview = Matrix(GL_MODELVIEW_MATRIX);
    font.skipProjection = true;
    font.cellSize = 2;
    font.Print(10, 10, "M");
    // Cell (10..12, 10..12) moved 10 along x, times ten: window (200..220, 100..120).
    const Ink ink = InkIn(0, 0, kHarnessWidth, kHarnessHeight);
    ASSERT_GT(ink.count, 0);
    EXPECT_GE(ink.x0, 200);
    EXPECT_LE(ink.x1, 220);
    EXPECT_GE(ink.y0, 100);
    EXPECT_LE(ink.y1, 120);
    EXPECT_EQ(Matrix(GL_PROJECTION_MATRIX), projection);
    EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX), modelview);
}

TEST_F(TextGl, OverlongTextIsCutAt4095Characters) {
    font.cellSize = 1;
    const std::string text(10000, 'x');
    font.Print(0, 0, "%s", text.c_str());
    EXPECT_EQ(std::strlen(textBuffer), 4095u);
    EXPECT_EQ(textBuffer[4094], 'x');
}
