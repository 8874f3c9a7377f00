// The text markup parser. Where the text walk puts each glyph of the 16 x 16 grid, and in which
// colours, shows in the golden text frame.
#include <tuple>

#include <gtest/gtest.h>

#include "text/Markup.h"

namespace {

TEST(TextMarkup, EscapesGiveTheirCodeRestOnTheirLastCharacterAndClampColours) {
    constexpr Rgba kUntouched = {9, 9, 9, 9};
    // The text, its code, where the cursor rests afterwards (from the backslash), the colour.
    const std::tuple<const char*, int, int, Rgba> rows[] = {
        {"\\b+", kBoldOn, 2, kUntouched},
        {"\\b-X", kBoldOff, 2, kUntouched},
        {"\\i+", kItalicOn, 2, kUntouched},
        {"\\i-", kItalicOff, 2, kUntouched},
        {"\\c(1 2 3)X", kColourRgb, 8, {1, 2, 3, 255}},
        {"\\c(  )", kColourRgb, 5, {0, 0, 0, 255}},                         // empty numbers
        {"\\a(1 256 007 99999999999)", kColourRgba, 24, {1, 255, 7, 255}},  // clamped, saturated
        // Malformed: the cursor back on the backslash, the colour left alone.
        {"\\c(1,2,3)X", kNoEscape, 0, kUntouched},   // commas
        {"\\c(1 2 3", kNoEscape, 0, kUntouched},     // unclosed at the end of the text
        {"\\c()", kNoEscape, 0, kUntouched},         // too few numbers
        {"\\c(1 2 3 4)", kNoEscape, 0, kUntouched},  // four numbers for rgb
        {"\\a(1 2 3)", kNoEscape, 0, kUntouched},    // three numbers for rgba
        {"\\B+", kNoEscape, 0, kUntouched},          // upper case
        {"\\i*", kNoEscape, 0, kUntouched},          // toggle without a sign
        {"\\x", kNoEscape, 0, kUntouched},           // unknown letter
    };
    for (const auto& [text, code, restsAt, colour] : rows) {
        const char* cursor = text;
        Rgba parsed = kUntouched;
        EXPECT_EQ(ParseEscape(cursor, parsed), code) << text;
        EXPECT_EQ(cursor - text, restsAt) << text;
        EXPECT_EQ(parsed, colour) << text;
    }
    Rgba colour = kUntouched;
    const char* cursor = "c(1 2 3 4 5)";
    EXPECT_FALSE(ParseColour(colour, cursor, 5));  // only 3 or 4 components fit a colour
}

}  // namespace
