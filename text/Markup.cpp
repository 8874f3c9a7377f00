// Parsing of the text markup escapes.
#include "text/Markup.h"

#include <algorithm>
#include <climits>

namespace {

int ClampToByte(int value) {
    return std::min(value, 255);
}

}  // namespace

int ParseDecimal(const char*& cursor) {
    int value = 0;
    while (*cursor >= '0' && *cursor <= '9') {
        const int digit = *cursor - '0';
        value = value > (INT_MAX - digit) / 10 ? INT_MAX : value * 10 + digit;
        ++cursor;
    }
    return value;
}

int ParseToggle(const char*& cursor) {
    ++cursor;
    if (*cursor == '+') {
        return 1;
    }
    if (*cursor == '-') {
        return 2;
    }
    return 0;
}

bool ParseColour(Rgba& colour, const char*& cursor, int count) {
    if (count != 3 && count != 4) {
        return false;
    }
    Rgba parsed = {0, 0, 0, 255};
    ++cursor;
    if (*cursor != '(' || cursor[1] == '\0') {
        return false;
    }
    ++cursor;
    for (int component = 0; component < count - 1; ++component) {
        parsed[component] = static_cast<uint8_t>(ClampToByte(ParseDecimal(cursor)));
        if (*cursor != ' ') {
            return false;
        }
        ++cursor;
    }
    parsed[count - 1] = static_cast<uint8_t>(ClampToByte(ParseDecimal(cursor)));
    if (*cursor != ')') {
        return false;
    }
    colour = parsed;
    return true;
}

int ParseEscape(const char*& cursor, Rgba& colour) {
    const char* const backslash = cursor;
    const char letter = cursor[1];
    int code = kNoEscape;
    ++cursor;
    if (letter == 'b' || letter == 'i') {
        const int toggle = ParseToggle(cursor);
        if (toggle != 0) {
            code = (letter == 'b' ? kBoldOn : kItalicOn) + (toggle - 1);
        }
    } else if (letter == 'c' || letter == 'a') {
        if (ParseColour(colour, cursor, letter == 'c' ? 3 : 4)) {
            code = letter == 'c' ? kColourRgb : kColourRgba;
        }
    }
    if (code == kNoEscape) {
        cursor = backslash;
    }
    return code;
}
