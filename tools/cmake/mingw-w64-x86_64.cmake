# Windows x86_64 from this machine: Debian's mingw-w64 with its POSIX threads model, which
# std::thread and the C++ runtime's locks need; the tests run the programs through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Each test runs in a Wine prefix of its own, made in a temporary folder and removed after it.
find_program(EMBERVANE_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/bash ${CMAKE_CURRENT_LIST_DIR}/../wine-run.sh)
