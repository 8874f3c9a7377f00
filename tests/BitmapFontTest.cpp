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
std::vector<unsigned> deleted;

void RecordQuad(const GlyphQuad& quad) {
    drawn.push_back(quad);
}
void RecordDeletion(unsigned name) {
    deleted.push_back(name);
}

const char* ColourName(const Rgba& c) {
    return c == kInk ? "ink" : c == kFade ? "fade" : c == kShade ? "shade" : "other";
}

// Each recorded pass as "character@x,y" of its bottom-left corner, with its bottom and top
// colour names when asked, space-separated.
std::string Layout(bool colours = false) {
    std::ostringstream out;
    for (const GlyphQuad& q : drawn) {
        out << (out.tellp() > 0 ? " " : "") << q.character << '@' << q.x[0] << ',' << q.y[0];
        if (colours) {
            out << ' ' << ColourName(q.bottom) << '/' << ColourName(q.top);
        }
    }
    return out.str();
}

}  // namespace

// A 16 x 16 font of 10-pixel cells whose quads and deletions are recorded; the backend in place
// before (the GL one, once a GL test has run) comes back afterwards.
class TextWalk : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = textBackend;
        textBackend = {RecordQuad, RecordDeletion};
        drawn.clear();
        deleted.clear();
        font.cellSize = 10;
        font.BuildGlyphGrid(16, 16);
    }
    void TearDown() override { textBackend = previous_; }

    BitmapFont font;

private:
    TextBackend previous_ = {};
};

TEST(BitmapFontStyle, DefaultsAndResetKeepingCellSize) {
    BitmapFont font;
    EXPECT_EQ(font.textureName, 0u);
    EXPECT_EQ(font.cellSize, 12);
    EXPECT_EQ(font.colour, kWhite);
    EXPECT_EQ(font.gradientColour, kGrey);
    EXPECT_EQ(font.shadowColour, kGrey);
    EXPECT_EQ(font.xDirection, 1);
    EXPECT_EQ(font.yDirection, 1);
    EXPECT_FALSE(font.bold || font.italic || font.gradient || font.shadow || font.boxMode);
    EXPECT_FALSE(font.skipStateSave || font.skipProjection || font.useCustomProjection);

    font.cellSize = 30;
    font.bold = font.italic = font.gradient = font.shadow = font.boxMode = true;
    font.colour = font.gradientColour = font.shadowColour = kInk;
    font.boxWidth = 50;
    font.xDirection = -1;
    font.skipProjection = true;
    font.ResetStyle();
    EXPECT_EQ(font.cellSize, 30);
    EXPECT_FALSE(font.bold || font.italic || font.gradient || font.shadow || font.boxMode);
    EXPECT_EQ(font.colour, kWhite);
    EXPECT_EQ(font.gradientColour, kGrey);
    EXPECT_EQ(font.shadowColour, kGrey);
    EXPECT_EQ(font.boxWidth, 0);
    EXPECT_EQ(font.xDirection, -1);
    EXPECT_TRUE(font.skipProjection);
}

TEST(BitmapFontGrid, CellsNumberedRowByRowFromTopLeft) {
    struct Row {
        int rows, columns, entry;
        float s, t, width, height;
    };
    const Row table[] = {
        {16, 16, 0, 0, 0.9375f, 0.0625f, 0.0625f},
        {16, 16, 15, 0.9375f, 0.9375f, 0.0625f, 0.0625f},
        {16, 16, 16, 0, 0.875f, 0.0625f, 0.0625f},
        {16, 16, 65, 0.0625f, 0.6875f, 0.0625f, 0.0625f},
        {16, 16, 255, 0.9375f, 0, 0.0625f, 0.0625f},
        {8, 32, 31, 0.96875f, 0.875f, 0.03125f, 0.125f},
        {8, 32, 32, 0, 0.75f, 0.03125f, 0.125f},
        {1, 256, 255, 0.99609375f, 0, 0.00390625f, 1},
        {256, 1, 0, 0, 0.99609375f, 1, 0.00390625f},
        {256, 1, 255, 0, 0, 1, 0.00390625f},
    };
    for (const Row& row : table) {
        BitmapFont font;
        font.BuildGlyphGrid(row.rows, row.columns);
        SCOPED_TRACE(::testing::Message()
                     << row.rows << "x" << row.columns << " entry " << row.entry);
        EXPECT_EQ(font.glyphWidth, row.width);
        EXPECT_EQ(font.glyphHeight, row.height);
        EXPECT_EQ(font.glyphCoords[row.entry][0], row.s);
        EXPECT_EQ(font.glyphCoords[row.entry][1], row.t);
    }

    BitmapFont strip;
    strip.BuildGlyphGrid(1, 256);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(strip.glyphCoords[i][0], static_cast<float>(i) / 256) << i;
        ASSERT_EQ(strip.glyphCoords[i][1], 0.0f) << i;
    }
}

TEST_F(TextWalk, DestroyingDeletesOnlyAnOwnedTexture) {
    { BitmapFont unloaded; }
    EXPECT_TRUE(deleted.empty());
    {
        BitmapFont owner;
        owner.textureName = 7;
    }
    EXPECT_EQ(deleted, std::vector<unsigned>{7});
}

TEST_F(TextWalk, GlyphIsOneCellQuadOverItsSheetCell) {
    font.DrawText(5, 7, "A");
    ASSERT_EQ(drawn.size(), 1u);
    const GlyphQuad& q = drawn[0];
    EXPECT_EQ(q.character, 'A');
    EXPECT_EQ(std::vector<int>(q.x, q.x + 4), (std::vector<int>{5, 15, 15, 5}));
    EXPECT_EQ(std::vector<int>(q.y, q.y + 4), (std::vector<int>{7, 7, 17, 17}));
    EXPECT_EQ(std::vector<float>(q.s, q.s + 4),
              (std::vector<float>{0.0625f, 0.125f, 0.125f, 0.0625f}));
    EXPECT_EQ(std::vector<float>(q.t, q.t + 4),
              (std::vector<float>{0.6875f, 0.6875f, 0.75f, 0.75f}));
    EXPECT_EQ(q.bottom, kWhite);
    EXPECT_EQ(q.top, kWhite);
}

TEST_F(TextWalk, TabsNewlinesAndEscapesMoveThePen) {
    struct Row {
        const char* text;
        const char* layout;
    };
    const Row rows[] = {
        {"A\tB", "A@20,100 B@70,100"},
        {"A\nB", "A@20,100 B@20,90"},
        {"\\b+X\\b-Y", "X@20,100 X@22,100 Y@30,100"},
        {"A\\c(1 2 3)\\i+\\i-B", "A@20,100 B@30,100"},
    };
    for (const Row& row : rows) {
        drawn.clear();
        font.DrawText(20, 100, row.text);
        EXPECT_EQ(Layout(), row.layout) << row.text;
    }
}

TEST_F(TextWalk, MalformedEscapeDrawsAsText) {
    struct Row {
        const char* text;
        const char* reason;
    };
    const Row rows[] = {
        {"\\c(1,2,3)X", "commas"},     {"\\c(1 2 3", "unclosed at the end of the text"},
        {"\\c()", "too few numbers"},  {"\\c(1 2 3 4)", "four numbers for rgb"},
        {"\\B+", "upper-case letter"}, {"A\\", "backslash at the end of the text"},
        {"\\x", "unknown letter"},
    };
    for (const Row& row : rows) {
        drawn.clear();
        font.DrawText(0, 0, row.text);
        std::string characters;
        for (size_t i = 0; i < drawn.size(); ++i) {
            characters += static_cast<char>(drawn[i].character);
            EXPECT_EQ(drawn[i].x[0], static_cast<int>(10 * i)) << row.reason;
            EXPECT_EQ(drawn[i].bottom, kWhite) << row.reason;
        }
        EXPECT_EQ(characters, row.text) << row.reason;
    }
}

TEST_F(TextWalk, ColourEscapeColoursTheFollowingGlyphs) {
    struct Row {
        const char* text;
        Rgba colour;
    };
    const Row rows[] = {
        {"\\c(  )X", {0, 0, 0, 255}},
        {"\\c(300 0 0)X", {255, 0, 0, 255}},
        {"\\a(0 0 255 128)X", {0, 0, 255, 128}},
    };
    for (const Row& row : rows) {
        drawn.clear();
        font.DrawText(0, 0, row.text);
        ASSERT_EQ(Layout(), "X@0,0") << row.text;
        EXPECT_EQ(drawn[0].bottom, row.colour) << row.text;
        EXPECT_EQ(drawn[0].top, row.colour) << row.text;
    }
}

TEST_F(TextWalk, BoxWrapsAtItsRightEdgeAndStopsBelowItsBottom) {
    font.boxMode = true;
    font.boxLeft = 0;
    font.boxTop = 100;
    font.boxWidth = 30;
    font.boxHeight = 24;
    font.DrawText(0, 0, "ABCDEFGH");
    EXPECT_EQ(Layout(), "A@0,90 B@10,90 C@20,90 D@0,80 E@10,80 F@20,80");

    // Once the box is full the rest is not read: its markup changes nothing.
    drawn.clear();
    font.DrawText(0, 0, "ABCDEF\\c(1 2 3)");
    EXPECT_EQ(font.colour, kWhite);

    // A wrap and a newline straight after it are two separate line feeds.
    drawn.clear();
    font.boxHeight = 100;
    font.DrawText(0, 0, "ABC\nD");
    EXPECT_EQ(Layout(), "A@0,90 B@10,90 C@20,90 D@0,70");
}

TEST_F(TextWalk, ShadowPassPrecedesGlyphInShadowColourOnly) {
    enum { kShadow = 1, kBold = 2, kGradient = 4 };
    struct Row {
        int style;
        const char* text;
        const char* passes;
    };
    const Row rows[] = {
        {kShadow, "AB", "A@22,32 shade/shade A@20,30 ink/ink B@32,32 shade/shade B@30,30 ink/ink"},
        {kShadow | kBold, "A", "A@24,32 shade/shade A@20,30 ink/ink A@22,30 ink/ink"},
        {kShadow | kGradient, "A", "A@22,32 shade/shade A@20,30 fade/ink"},
        {kGradient, "A", "A@20,30 fade/ink"},
    };
    for (const Row& row : rows) {
        drawn.clear();
        font.shadow = row.style & kShadow;
        font.bold = row.style & kBold;
        font.gradient = row.style & kGradient;
        font.colour = kInk;
        font.gradientColour = kFade;
        font.shadowColour = kShade;
        font.DrawText(20, 30, row.text);
        EXPECT_EQ(Layout(true), row.passes) << "style " << row.style;
    }
}

TEST_F(TextWalk, ItalicShiftsTopCornersEightPixels) {
    font.italic = true;
    for (const int cell : {4, 12, 64}) {
        drawn.clear();
        font.cellSize = cell;
        font.DrawText(100, 50, "A");
        ASSERT_EQ(drawn.size(), 1u);
        const GlyphQuad& q = drawn[0];
        EXPECT_EQ(std::vector<int>(q.x, q.x + 4),
                  (std::vector<int>{100, 100 + cell, 108 + cell, 108}))
            << cell;
        EXPECT_EQ(std::vector<int>(q.y, q.y + 4), (std::vector<int>{50, 50, 50 + cell, 50 + cell}))
            << cell;
    }
}

TEST_F(TextWalk, HighCharactersSelectHighGlyphs) {
    font.DrawText(0, 0, "\x80\xc8\xff");
    ASSERT_EQ(drawn.size(), 3u);
    const struct {
        int character;
        float s, t;
    } expected[] = {{128, 0, 0.4375f}, {200, 0.5f, 0.1875f}, {255, 0.9375f, 0}};
    for (int i = 0; i < 3; ++i) {
        const GlyphQuad& q = drawn[i];
        EXPECT_EQ(q.character, expected[i].character);
        EXPECT_EQ(q.s[0], expected[i].s) << expected[i].character;
        EXPECT_EQ(q.t[0], expected[i].t) << expected[i].character;
        EXPECT_EQ(q.s[2], expected[i].s + 0.0625f) << expected[i].character;
        EXPECT_EQ(q.t[2], expected[i].t + 0.0625f) << expected[i].character;
    }
}
