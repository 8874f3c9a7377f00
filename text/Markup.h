// The inline markup of printed text: backslash escapes for bold, italic and colour. Pure text
// parsing; no drawing here.
#pragma once

#include <array>
#include <cstdint>

using Rgba = std::array<uint8_t, 4>;

enum EscapeCode {
    kNoEscape = 0,
    kBoldOn = 1,
    kBoldOff = 2,
    kItalicOn = 3,
    kItalicOff = 4,
    kColourRgb = 5,   // backslash c(R G B)
    kColourRgba = 6,  // backslash a(R G B A)
};

// Reads the escape that starts at the backslash under `cursor`. Only the six complete lower-case
// forms count: for any other text the result is kNoEscape and the cursor is back on the
// backslash. Otherwise the cursor rests on the escape's last character (the sign or the closing
// parenthesis). `colour` is written only for the two colour codes.
int ParseEscape(const char*& cursor, Rgba& colour);

// Cursor on "b" or "i": moves one on and returns 1 for "+", 2 for "-", 0 for anything else
// (the end of the text included).
int ParseToggle(const char*& cursor);

// Cursor on "c" or "a": reads "(" and `count` numbers (3 or 4) separated by single spaces up to
// ")", where the cursor then rests; any other count fails. Numbers clamp to 255 and an empty one is
// 0; alpha is 255 unless given. Writes `colour` only on success.
bool ParseColour(Rgba& colour, const char*& cursor, int count);

// Reads decimal digits while they last, leaving the cursor on the first non-digit. 0 without
// digits; a value too large for an int saturates.
int ParseDecimal(const char*& cursor);
