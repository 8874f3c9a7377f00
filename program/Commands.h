// The user's commands: keys and menu values, the statistics resets and the benchmark toggle.
// Changes program state only; the keyboard callback performs the reshape that a key asks for.
#pragma once

constexpr int kParticleStep = 500;
constexpr int kBenchmarkParticles = 32000;

// The values of the menu's entries: what the menu hands to ApplyMenu.
enum MenuValue {
    kMenuNothing = 0,
    kMenuBurst = 1,
    kMenuUpdraft = 2,
    kMenuDowndraft = 3,
    kMenuEastWind = 4,
    kMenuWestWind = 5,
    kMenuScatter = 6,
};

struct MenuEntry {
    const char* label;
    MenuValue value;
};

// The menu, top to bottom. The letters in the labels are text only: keys do what ApplyKey
// says, and the winds have no key.
constexpr MenuEntry kMenuEntries[] = {
    {"Please use keyboard", kMenuNothing},
    {"Movement keys: WASD ZX", kMenuNothing},
    {"Burst [B]", kMenuBurst},
    {"Scatter [C]", kMenuScatter},
    {"Updraft [G]", kMenuUpdraft},
    {"Downdraft [H]", kMenuDowndraft},
    {"East Wind [N]", kMenuEastWind},
    {"West Wind [V]", kMenuWestWind},
};

// Acts on one key, letters in either case; every key outside the table does nothing. "+" and
// "-" reset the average and peak; "N" enters benchmark mode (saving the count, setting 32000,
// zeroing the camera angles, naming the run) or leaves it (printing the run's summary, restoring
// the saved count), and resets fps as well. The count and viewport keys set a new workload, the
// effect keys disturb it (SetWorkload, DisturbWorkload). Returns true when the key changed the
// viewport size in the view state, which the caller then applies.
bool ApplyKey(unsigned char key);

// Acts on the values of kMenuEntries, each disturbing the workload as an effect key does; every
// other value does nothing.
void ApplyMenu(int value);

// The window is closing, or the process was interrupted: a benchmark run in progress ends with
// its summary.
void ApplyWindowClose();
