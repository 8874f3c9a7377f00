# The soak's verdict counts the bytes left by the program's own code, found below the allocator's
# frames, and nothing that the driver left, even when the program's call made it allocate.

from soak import own_bytes

SYMBOLS = {"main", "ApplyKey(unsigned char)", "DrawScene()"}


def test_the_soak_counts_what_the_programs_own_code_left_and_only_that():
    for stack, counted in [
            ("main;glutMainLoop;Keyboard;ApplyKey(unsigned char);operator new[](unsigned long);"
             "operator new(unsigned long); 1024", 1024),
            ("main;glutMainLoop;ApplyKey(unsigned char);malloc; 64", 64),
            ("main;DrawScene();glBegin;0x7f5da46b5528; 4096", 0),  # the driver's, though called
            ("main;OpenProgramWindow(int*, char**);glutInit;__GI___strdup (strdup.c); 16", 0),
            ("; 8", 0)]:
        assert own_bytes([stack], SYMBOLS) == counted, stack
