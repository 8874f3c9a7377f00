// The GL-free text renderer seen through a recording backend: defaults, glyph grids, and which
// glyph the text walk draws where, in which colour and style.
#include "text/BitmapFont.h"

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr Rgba kWhite = {255, 255, 255, 255};
constexpr Rgba kGrey = {128, 128, 128, 255};
constexpr Rgba kInk = {10, 20, 30, 255};
constexpr Rgba kFade = {40, 50, 60, 255};
constexpr Rgba kShade = {70, 80, 90, 200};

std::vector<GlyphQuad> drawn;

char Name(const Rgba& c) {
    return c == kWhite ? 'w' : c == kInk ? 'i' : c == kFade ? 'f' : c == kShade ? 's' : '?';
}

// Each pass as "character@x,y:bt": its bottom-left corner, the names of its bottom and top colours.
std::string Layout() {
    std::ostringstream out;
    for (const GlyphQuad& q : drawn) {
        out << (out.tellp() > 0 ? " " : "") << q.character << '@' << q.x[0] << ',' << q.y[0] << ':'
            << Name(q.bottom) << Name(q.top);
    }
    return out.str();
}

}  // namespace

// A 16 x 16 font of 10-pixel cells in ink, fade and shade whose quads are recorded; the backend in
// place before (the GL one, once a GL test has run) comes back afterwards.
class TextWalk : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = textBackend;
        textBackend = {[](const GlyphQuad& quad) { drawn.push_back(quad); }, [](unsigned) {}};
        drawn.clear();
        font.cellSize = 10;
        font.BuildGlyphGrid(16, 16);
        font.colour = kInk;
        font.gradientColour = kFade;
        font.shadowColour = kShade;
    }
    void TearDown() override { textBackend = previous_; }

    BitmapFont font;

private:
    TextBackend previous_ = {};
};

TEST(BitmapFontStyle, ResetKeepsCellSizeAndDirections) {
    BitmapFont font;
    font.cellSize = 30;
    font.xDirection = -1;
    font.bold = font.italic = font.gradient = font.shadow = font.boxMode = true;
    font.colour = font.gradientColour = font.shadowColour = kInk;
    font.boxWidth = 50;
    font.ResetStyle();
    EXPECT_EQ(font.cellSize, 30);
    EXPECT_EQ(font.xDirection, -1);
    EXPECT_FALSE(font.bold || font.italic || font.gradient || font.shadow || font.boxMode);
    EXPECT_EQ(font.boxWidth, 0);
    EXPECT_EQ((std::vector<Rgba>{font.colour, font.gradientColour, font.shadowColour}),
              (std::vector<Rgba>{kWhite, kGrey, kGrey}));
}

TEST(BitmapFontGrid, EveryShapeIsNumberedRowByRowFromTheTopLeft) {
    BitmapFont font;  // 16 x 16 shows in the walk's quads; this is 8 rows of 32
    font.BuildGlyphGrid(8, 32);
    EXPECT_EQ((std::vector<float>{font.glyphWidth, font.glyphHeight, font.glyphCoords[31][0],
                                  font.glyphCoords[31][1], font.glyphCoords[32][0],
                                  font.glyphCoords[32][1]}),
              (std::vector<float>{0.03125f, 0.125f, 0.96875f, 0.875f, 0, 0.75f}));
}

TEST_F(TextWalk, GlyphQuadCoversOneCellOverItsSheetCellAndItalicShearsItsTop) {
    // 'A' is entry 65 of the 16 x 16 grid, 255 its last.
    font.DrawText(5, 7, "A\\i+A\xff");
    ASSERT_EQ(drawn.size(), 3u);
    const GlyphQuad& a = drawn[0];
    EXPECT_EQ(std::vector<int>(a.x, a.x + 4), (std::vector<int>{5, 15, 15, 5}));
    EXPECT_EQ(std::vector<int>(a.y, a.y + 4), (std::vector<int>{7, 7, 17, 17}));
    EXPECT_EQ(std::vector<float>(a.s, a.s + 4),
              (std::vector<float>{0.0625f, 0.125f, 0.125f, 0.0625f}));
    EXPECT_EQ(std::vector<float>(a.t, a.t + 4),
              (std::vector<float>{0.6875f, 0.6875f, 0.75f, 0.75f}));
    EXPECT_EQ(std::vector<int>(drawn[1].x, drawn[1].x + 4), (std::vector<int>{15, 25, 33, 23}));
    EXPECT_EQ((std::vector<float>{drawn[2].s[0], drawn[2].t[0]}), (std::vector<float>{0.9375f, 0}));
}

TEST_F(TextWalk, PenMovesWithTabsNewlinesEscapesStylesAndTheBox) {
    enum { kBold = 1, kShadow = 2, kGradient = 4 };
    const struct {
        int style, boxWidth, boxHeight;  // a box at (0, 100) when boxWidth is not 0
        const char* text;
        const char* passes;
    } rows[] = {
        {0, 0, 0, "A\tB", "A@20,30:ii B@70,30:ii"},
        {0, 0, 0, "A\nB", "A@20,30:ii B@20,20:ii"},
        {0, 0, 0, "\\b+X\\b-Y", "X@20,30:ii X@22,30:ii Y@30,30:ii"},
        {0, 0, 0, "A\\i+\\i-\\c(40 50 60)B\\a(70 80 90 200)C", "A@20,30:ii B@30,30:ff C@40,30:ss"},
        // Malformed escapes drawn as text.
        {0, 0, 0, "\\x\\", "\\@20,30:ii x@30,30:ii \\@40,30:ii"},
        {kShadow, 0, 0, "AB", "A@22,32:ss A@20,30:ii B@32,32:ss B@30,30:ii"},
        {kShadow | kBold, 0, 0, "A", "A@24,32:ss A@20,30:ii A@22,30:ii"},
        {kShadow | kGradient, 0, 0, "A", "A@22,32:ss A@20,30:fi"},
        // Wrapped at the right edge, stopped below the bottom.
        {0, 30, 24, "ABCDEFG", "A@0,90:ii B@10,90:ii C@20,90:ii D@0,80:ii E@10,80:ii F@20,80:ii"},
        {0, 30, 100, "ABC\nD", "A@0,90:ii B@10,90:ii C@20,90:ii D@0,70:ii"},  // wrap, then newline
    };
    font.boxTop = 100;
    for (const auto& row : rows) {
        drawn.clear();
        font.colour = kInk;
        font.bold = row.style & kBold;
        font.shadow = row.style & kShadow;
        font.gradient = row.style & kGradient;
        font.boxMode = row.boxWidth != 0;
        font.boxWidth = row.boxWidth;
        font.boxHeight = row.boxHeight;
        font.DrawText(20, 30, row.text);
        EXPECT_EQ(Layout(), row.passes) << row.text;
    }
}
