# The rest of the Windows build: its tests, which run under Wine, and its release zip.

if(EMBERVANE_TESTS)
    enable_testing()
    # GoogleTest built for Windows from Debian's sources of it.
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_CURRENT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    add_subdirectory(tests)
endif()

# The release zip: the two programs, the three pictures, the licence and a read-me, with fixed
# entry times and order, so that every clone of one commit makes the same bytes.
set(EMBERVANE_ZIP ${CMAKE_CURRENT_BINARY_DIR}/embervane-${PROJECT_VERSION}-windows-x86_64.zip)
add_custom_command(OUTPUT ${EMBERVANE_ZIP}
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/tools/make-windows-zip.py
            ${EMBERVANE_ZIP} ${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog
            embervane.exe=$<TARGET_FILE:embervane>
            embervane-compare.exe=$<TARGET_FILE:embervane-compare>
            font.tga=${CMAKE_CURRENT_SOURCE_DIR}/data/font.tga
            star.tga=${CMAKE_CURRENT_SOURCE_DIR}/data/star.tga
            wood.tga=${CMAKE_CURRENT_SOURCE_DIR}/data/wood.tga
            LICENSE.txt=${CMAKE_CURRENT_SOURCE_DIR}/LICENSE
            FONT-LICENSE.txt=${CMAKE_CURRENT_SOURCE_DIR}/data/FONT-LICENSE.txt
            README.txt=${CMAKE_CURRENT_SOURCE_DIR}/packaging/windows-readme.txt
    DEPENDS embervane embervane-compare tools/make-windows-zip.py packaging/changelog LICENSE
            data/font.tga data/star.tga data/wood.tga data/FONT-LICENSE.txt
            packaging/windows-readme.txt
    VERBATIM)
add_custom_target(windows-zip ALL DEPENDS ${EMBERVANE_ZIP})
