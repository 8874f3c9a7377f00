// The markup parser: which escapes are recognised, where the cursor rests, what colour results.
#include "text/Markup.h"

#include <gtest/gtest.h>

namespace {

constexpr Rgba kUntouched = {9, 9, 9, 9};

}  // namespace

TEST(TextMarkup, CompleteEscapesGiveTheirCodeAndRestOnTheLastCharacter) {
    struct Row {
        const char* text;
        int code;
        int restsAt;  // offset of the cursor from the backslash afterwards
        Rgba colour;
    };
    const Row rows[] = {
        {"\\b+", kBoldOn, 2, kUntouched},
        {"\\b-X", kBoldOff, 2, kUntouched},
        {"\\i+", kItalicOn, 2, kUntouched},
        {"\\i-", kItalicOff, 2, kUntouched},
        {"\\c(1 2 3)X", kColourRgb, 8, {1, 2, 3, 255}},
        {"\\a(0 0 255 128)", kColourRgba, 14, {0, 0, 255, 128}},
        {"\\c(  )", kColourRgb, 5, {0, 0, 0, 255}},
        {"\\c(300 0 0)", kColourRgb, 10, {255, 0, 0, 255}},
        {"\\a(1 256 007 99999999999)", kColourRgba, 24, {1, 255, 7, 255}},
        {"\\a(   )", kColourRgba, 6, {0, 0, 0, 0}},
    };
    for (const Row& row : rows) {
        const char* cursor = row.text;
        Rgba colour = kUntouched;
        EXPECT_EQ(ParseEscape(cursor, colour), row.code) << row.text;
        EXPECT_EQ(cursor - row.text, row.restsAt) << row.text;
        EXPECT_EQ(colour, row.colour) << row.text;
    }
}

TEST(TextMarkup, MalformedEscapeLeavesCursorOnBackslashAndColourAlone) {
    struct Row {
        const char* text;
        const char* reason;
    };
    const Row rows[] = {
        {"\\c(1,2,3)X", "commas"},
        {"\\c(1 2 3", "unclosed at the end of the text"},
        {"\\c(", "open parenthesis at the end of the text"},
        {"\\c()", "one number where three are needed"},
        {"\\c(1 2 3 4)", "four numbers for rgb"},
        {"\\a(1 2 3)", "three numbers for rgba"},
        {"\\c(1  2 3)", "two spaces between numbers"},
        {"\\c(1 2 3 )", "space before the parenthesis"},
        {"\\c(-1 2 3)", "signed number"},
        {"\\c 1 2 3)", "no opening parenthesis"},
        {"\\B+", "upper-case letter"},
        {"\\C(1 2 3)", "upper-case colour letter"},
        {"\\b", "toggle at the end of the text"},
        {"\\i*", "toggle without a sign"},
        {"\\x", "unknown letter"},
        {"\\", "backslash at the end of the text"},
    };
    for (const Row& row : rows) {
        const char* cursor = row.text;
        Rgba colour = kUntouched;
        EXPECT_EQ(ParseEscape(cursor, colour), kNoEscape) << row.reason;
        EXPECT_EQ(cursor, row.text) << row.reason;
        EXPECT_EQ(colour, kUntouched) << row.reason;
    }
}

TEST(TextMarkup, DecimalStopsAtFirstNonDigitAndSaturates) {
    struct Row {
        const char* text;
        int value;
        int stopsAt;
    };
    const Row rows[] = {
        {"123 4", 123, 3},
        {"", 0, 0},
        {")", 0, 0},
        {"0042)", 42, 4},
        {"2147483647", 2147483647, 10},
        {"99999999999x", 2147483647, 11},
    };
    for (const Row& row : rows) {
        const char* cursor = row.text;
        EXPECT_EQ(ParseDecimal(cursor), row.value) << row.text;
        EXPECT_EQ(cursor - row.text, row.stopsAt) << row.text;
    }
}
