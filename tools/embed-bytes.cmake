# Writes the bytes of INPUT into OUTPUT as a C++ array NAME and its size NAMESize, so that the
# program carries the file within itself instead of reading it at run time. The build runs it
# again whenever INPUT changes: cmake -DINPUT=... -DOUTPUT=... -DNAME=... -P embed-bytes.cmake
file(READ "${INPUT}" hex HEX)
string(REPEAT "[0-9a-f]" 32 row)  # 16 bytes a line
string(REGEX REPLACE "(${row})" "\\1\n    " hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE "${OUTPUT}" "// Made by tools/embed-bytes.cmake from ${INPUT}; edit that file instead.
#include <cstddef>

extern const unsigned char ${NAME}[] = {
    ${bytes}
};
extern const std::size_t ${NAME}Size = sizeof ${NAME};
")
