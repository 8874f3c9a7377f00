# The house's layers: each folder's files include only their own folder and the layers below it,
# and the core's include no GL, GLUT or X header, so that the unit tests reach all of the core
# without a window.

import os
import re

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# Lowest first; folders on one row are beside each other, and include none of each other.
LAYERS = [["platform"], ["sim", "image", "text"], ["render", "measure"], ["program"],
          ["gl", "shell/x11"], ["shell"]]
CORE = 4  # the rows of the core library
WINDOW_SYSTEM = re.compile(r"#include\s*<(GL|X11)/")


def test_no_include_runs_up_a_layer_and_the_core_holds_no_window_system():
    rank = {folder: row for row, folders in enumerate(LAYERS) for folder in folders}
    wrong = []
    for folder, row in rank.items():
        for name in os.listdir(os.path.join(ROOT, folder)):
            if not name.endswith((".cpp", ".h")):
                continue
            text = open(os.path.join(ROOT, folder, name)).read()
            if row < CORE and WINDOW_SYSTEM.search(text):
                wrong.append(f"{folder}/{name} includes a window-system header in the core")
            for included in re.findall(r'#include "([^"]+)/[^/"]+"', text):
                if included != folder and rank.get(included, len(LAYERS)) >= row:
                    wrong.append(f"{folder}/{name} includes {included}/")
    assert wrong == []
