// The markup parser: which escapes are recognised, where the cursor rests, what colour results.
#include "text/Markup.h"

#include <gtest/gtest.h>

TEST(TextMarkup, EscapesGiveTheirCodeRestOnTheirLastCharacterAndClampColours) {
    constexpr Rgba kUntouched = {9, 9, 9, 9};
    const struct {
        const char* text;
        int code, restsAt;  // restsAt: offset of the cursor from the backslash afterwards
        Rgba colour;
    } rows[] = {
        {"\\b+", kBoldOn, 2, kUntouched},
        {"\\b-X", kBoldOff, 2, kUntouched},
        {"\\i+", kItalicOn, 2, kUntouched},
        {"\\i-", kItalicOff, 2, kUntouched},
        {"\\c(1 2 3)X", kColourRgb, 8, {1, 2, 3, 255}},
        {"\\c(  )", kColourRgb, 5, {0, 0, 0, 255}},
        {"\\a(1 256 007 99999999999)", kColourRgba, 24, {1, 255, 7, 255}},
        {"\\a(0 0 255 128)", kColourRgba, 14, {0, 0, 255, 128}},
        // Malformed: the cursor back on the backslash, the colour left alone.
        {"\\c(1,2,3)X", kNoEscape, 0, kUntouched},   // commas
        {"\\c(1 2 3", kNoEscape, 0, kUntouched},     // unclosed at the end of the text
        {"\\c(1 2 3 4)", kNoEscape, 0, kUntouched},  // four numbers for rgb
        {"\\a(1 2 3)", kNoEscape, 0, kUntouched},    // three numbers for rgba
        {"\\B+", kNoEscape, 0, kUntouched},          // upper case
        {"\\i*", kNoEscape, 0, kUntouched},          // toggle without a sign
        {"\\x", kNoEscape, 0, kUntouched},           // unknown letter
    };
    for (const auto& row : rows) {
        const char* cursor = row.text;
        Rgba colour = kUntouched;
        EXPECT_EQ(ParseEscape(cursor, colour), row.code) << row.text;
        EXPECT_EQ(cursor - row.text, row.restsAt) << row.text;
        EXPECT_EQ(colour, row.colour) << row.text;
    }
}

TEST(TextMarkup, DecimalStopsAtTheFirstNonDigitAndSaturates) {
    const struct {
        const char* text;
        int value, stopsAt;
    } rows[] = {{"", 0, 0},
                {"0042)", 42, 4},
                {"2147483647", 2147483647, 10},
                {"99999999999x", 2147483647, 11}};
    for (const auto& row : rows) {
        const char* cursor = row.text;
        EXPECT_EQ(ParseDecimal(cursor), row.value) << row.text;
        EXPECT_EQ(cursor - row.text, row.stopsAt) << row.text;
    }
}

TEST(TextMarkup, ColourTakesOnlyThreeOrFourComponents) {
    for (const int count : {0, 2, 5, -1}) {
        Rgba colour = {9, 9, 9, 9};
        const char* cursor = "c(1 2 3 4 5)";
        EXPECT_FALSE(ParseColour(colour, cursor, count)) << count;
        EXPECT_EQ(colour, (Rgba{9, 9, 9, 9})) << count;
    }
}
