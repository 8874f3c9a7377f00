# The soak's verdict counts the bytes left by the program's own code, found below the allocator's
# frames, and nothing that the driver left, even when the program's call made it allocate. Which
# frames are the program's own comes from the program's binary: its functions, whether global,
# local to a file or inline, and none of its data or of what it only calls.

from soak import own_bytes, program_symbols

from conftest import RELEASE

SYMBOLS = program_symbols(RELEASE)


def test_the_programs_own_functions_are_those_its_binary_defines():
    for name in ["main", "ApplyKey(unsigned char)", "(anonymous namespace)::WatchWhileHidden(int)",
                 "RunIdentity::~RunIdentity()"]:
        assert name in SYMBOLS, name
    for name in ["glBegin", "malloc", "particlePool"]:
        assert name not in SYMBOLS, name


def test_the_soak_counts_what_the_programs_own_code_left_and_only_that():
    for stack, counted in [
            ("main;glutMainLoop;Keyboard(unsigned char, int, int);ApplyKey(unsigned char);"
             "operator new[](unsigned long);operator new(unsigned long); 1024", 1024),
            ("main;glutMainLoop;(anonymous namespace)::WatchWhileHidden(int);malloc; 64", 64),
            ("main;DrawScene();glBegin;0x7f5da46b5528; 4096", 0),  # the driver's, though called
            ("main;OpenProgramWindow(int*, char**);glutInit;__GI___strdup (strdup.c); 16", 0),
            ("; 8", 0)]:
        assert own_bytes([stack], SYMBOLS) == counted, stack
