#!/usr/bin/python3
"""Takes the README's pictures on a private server: docs/fountain.png a few seconds after start,
docs/benchmark.png a few seconds into benchmark mode, and docs/hud.png, the HUD of the first at
three times its size."""

import os
import subprocess
import time

from xsession import ROOT, Program, XServer

DOCS = os.path.join(ROOT, "docs")

with XServer() as x:
    program = Program(x)
    time.sleep(4)
    program.shot(os.path.join(DOCS, "fountain.png"))
    program.keys("n")
    time.sleep(4)
    program.shot(os.path.join(DOCS, "benchmark.png"))
    program.stop()
subprocess.run(["convert", os.path.join(DOCS, "fountain.png"), "-crop", "640x40+0+440", "+repage",
                "-scale", "300%", os.path.join(DOCS, "hud.png")], check=True)
print("wrote docs/fountain.png, docs/benchmark.png and docs/hud.png")
