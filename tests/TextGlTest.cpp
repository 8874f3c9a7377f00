// The text renderer in a real GL context: loading the glyph sheet, the pixels of printed text and
// the GL state Print leaves behind.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "GlHarness.h"
#include "image/Image.h"
#include "text/BitmapFont.h"

namespace {

const char* const kSheet = EMBERVANE_DATA_DIR "/font.tga";

// Pixels of the rectangle brighter than a trace in any channel.
long Lit(int x, int y, int width, int height) {
    const std::vector<Rgb> pixels = ReadRect(x, y, width, height);
    return std::count_if(pixels.begin(), pixels.end(),
                         [](const Rgb& p) { return *std::max_element(p.begin(), p.end()) > 8; });
}

constexpr GLenum kCapabilities[] = {GL_DEPTH_TEST, GL_BLEND, GL_TEXTURE_2D, GL_SCISSOR_TEST,
                                    GL_LIGHTING};

// What Print may change: both matrices, the capabilities, the blend factors, the matrix mode.
std::vector<float> State() {
    std::vector<float> state(32);
    glGetFloatv(GL_PROJECTION_MATRIX, &state[0]);
    glGetFloatv(GL_MODELVIEW_MATRIX, &state[16]);
    for (const GLenum what : kCapabilities) {
        state.push_back(glIsEnabled(what));
    }
    for (const GLenum what : {GL_BLEND_SRC, GL_BLEND_DST, GL_MATRIX_MODE}) {
        state.push_back(static_cast<float>(GlInteger(what)));
    }
    return state;
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

TEST_F(TextGl, LoadGivesNoNameANameWithoutPictureOrTheSheetWithItsGrid) {
    const struct {
        const char* file;
        int rows, columns;
        bool loaded, named;
        float glyphHeight;  // 0 without a grid
    } rows[] = {
        {nullptr, 16, 16, false, false, 0},
        {kSheet, -1, 16, false, false, 0},
        {"/nonexistent-embervane-dir/font.tga", 16, 16, false, true, 0},
        {kSheet, 8, 32, true, true, 0.125f},
        {kSheet, 3, 5, true, true, 0.0625f},  // not 256 cells: 16 x 16
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.rows << "x" << row.columns);
        GLuint name = 0;
        {
            BitmapFont fresh;
            EXPECT_EQ(fresh.Load(row.file, row.rows, row.columns), row.loaded);
            EXPECT_EQ(fresh.glyphHeight, row.glyphHeight);
            name = fresh.textureName;
            glBindTexture(GL_TEXTURE_2D, name);  // a name is a texture only once bound
            EXPECT_EQ(glIsTexture(name), row.named);
        }
        EXPECT_FALSE(glIsTexture(name)) << "deleted with the font";
    }
}

TEST_F(TextGl, MarkupColourShowsWhereTheSheetHasInkFadingFromTheGradientColour) {
    Image sheet;
    ASSERT_EQ(sheet.Load(kSheet), kImageOk);
    font.cellSize = 64;
    font.gradient = true;
    font.gradientColour = {0, 0, 255, 255};
    font.Print(100, 100, "\\c(255 0 0)M ");
    // 'M' is the cell at row 4, column 13 of the picture: sheet columns 208 to 223 and, as the
    // file stores the bottom row first, file rows 176 to 191. One texel spans 4 x 4 pixels, and
    // a probe 2 pixels into a texel's square weighs that texel 49/64 and its neighbours the rest:
    // red and blue add up to the texel's alpha within 64, red's share rising up the cell.
    for (int j = 1; j < 15; ++j) {
        for (int i = 1; i < 15; ++i) {
            const Rgb seen = ReadPixel(100 + 4 * i + 2, 100 + 4 * j + 2);
            const int alpha = sheet.pixels[(176 + j) * 256 + 208 + i];
            const double redShare = (4 * j + 2.5) / 64;
            EXPECT_TRUE(std::abs(seen[0] + seen[2] - alpha) <= 64 && seen[1] <= 3 &&
                        std::abs(seen[0] - redShare * (seen[0] + seen[2])) <= 8)
                << i << "," << j << ": " << ::testing::PrintToString(seen) << " for " << alpha;
        }
    }
    EXPECT_EQ(Lit(164, 100, 64, 64), 0) << "the space after it";
}

TEST_F(TextGl, PrintDrawsWhereItsProjectionPutsTheTextThenPutsBackTheStateAndStyle) {
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, 64, 0, 48, -1, 1);  // the caller's: ten window pixels per unit
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(10, 0, 0);
    font.projRight = 320;
    font.projTop = 240;
    const struct {
        bool on;  // every capability, the blend factors and the matrix mode off the text's
        bool skipStateSave, custom, skipProjection, scissored;  // the last to x < 100
        int cell, x, y;
        const char* text;
        int ink[4];  // x, y, width, height: holds all the ink, and some
    } rows[] = {
        // The caller's matrices: cells from (10, 10), 2 units on a side, moved 10 along x, times
        // ten: from (200, 100).
        {false, false, false, true, false, 2, 10, 10, "MMMMMMMM", {200, 100, 160, 20}},
        {false, false, false, false, true, 32, 0, 200, "MMMMMMMM", {0, 200, 100, 32}},
        // The custom projection: 320 x 240 units on the window. The next row is a Print without
        // text; restoring a save skipped for it would give this row's state.
        {true, false, true, false, false, 10, 160, 120, "MMMMMMMM", {320, 240, 320, 20}},
        {false, false, false, false, false, 10, 0, 0, "", {0, 0, 0, 0}},
        // No state set up: untextured and opaque; the matrix mode is left as drawing leaves it.
        {false, true, false, false, false, 10, 300, 200, "MM", {300, 200, 20, 10}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        for (const GLenum what : kCapabilities) {
            row.on ? glEnable(what) : glDisable(what);
        }
        glBlendFunc(row.on ? GL_DST_COLOR : GL_ONE, row.on ? GL_SRC_COLOR : GL_ZERO);
        glMatrixMode(row.on ? GL_PROJECTION : GL_TEXTURE);
        glScissor(0, 0, row.scissored ? 100 : kHarnessWidth, kHarnessHeight);
        glClear(GL_COLOR_BUFFER_BIT);
        const std::vector<float> before = State();
        font.skipStateSave = row.skipStateSave;
        font.useCustomProjection = row.custom;
        font.skipProjection = row.skipProjection;
        font.cellSize = row.cell;
        font.gradient = true;
        font.colour = {255, 0, 0, 255};
        font.Print(row.x, row.y, "%s", row.text);
        const std::vector<float> after = State();
        EXPECT_EQ(std::vector(after.begin(), after.end() - row.skipStateSave),
                  std::vector(before.begin(), before.end() - row.skipStateSave));
        EXPECT_TRUE(!font.gradient && font.colour == (Rgba{255, 255, 255, 255})) << "style reset";
        const long inBox = Lit(row.ink[0], row.ink[1], row.ink[2], row.ink[3]);
        EXPECT_EQ(inBox > 0, row.text[0] != '\0');
        EXPECT_EQ(Lit(0, 0, kHarnessWidth, kHarnessHeight), inBox);
    }
}

TEST_F(TextGl, OverlongTextIsCutAt4095Characters) {
    font.cellSize = 1;
    font.Print(0, 0, "%s", std::string(10000, 'x').c_str());
    EXPECT_EQ(std::strlen(textBuffer), 4095u);
}
