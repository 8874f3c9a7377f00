# Golden frames against tests/data/golden, on each of Mesa's drivers at hand (a wrong vertex,
# glyph, colour or GL state exceeds the driver's tolerance in far more than OUTLIERS pixels).

import glob
import os
import subprocess

import numpy
import pytest
from PIL import Image

from conftest import GOLDEN, ROOT, XServer, check_against_reference

LAVAPIPE = ":".join(glob.glob("/usr/share/vulkan/icd.d/lvp_icd.*.json"))
# Each driver's environment, the renderer it must report (filled in from the references' own
# renderer and version, renderer.txt) and its tolerance per channel. zink on lavapipe rasterises
# as llvmpipe does: at most 6 pixels beyond 8. softpipe filters textures with other rounding:
# hundreds of pixels of the textured frames differ by up to 24 and at most 5 by more. Beyond 24
# there, one glyph moved by a pixel still puts 35 to 142 pixels in every frame, and sprite
# corners moved out by 2% put 60 in the untextured one. A driver that cannot start fails the
# drawing; a fall-back to another renderer fails the renderer check.
DRIVERS = {
    "llvmpipe": ({}, "{}\n{}\n", 8),
    "softpipe": ({"GALLIUM_DRIVER": "softpipe"}, "softpipe\n", 24),
    "zink": ({"GALLIUM_DRIVER": "zink", "VK_ICD_FILENAMES": LAVAPIPE}, "zink ({})\n", 8),
}


@pytest.fixture(scope="module", params=DRIVERS)
def frames(tmp_path_factory, request):
    folder = tmp_path_factory.mktemp(request.param)
    with XServer() as x:  # a driver that cannot start ends the tool, its reason on stderr
        subprocess.run([os.path.join(ROOT, "build", "tests", "golden_tool"), "--frames", folder],
                       env=dict(x.env, **DRIVERS[request.param][0]), check=True)
    return request.param, folder


@pytest.mark.parametrize("case", ["bare", "below", "fountain", "orbit", "text"])
def test_frame_matches_its_reference(frames, case):
    driver, frames = frames
    _, renderer, tolerance = DRIVERS[driver]
    expected = renderer.format(*open(f"{GOLDEN}/renderer.txt").read().splitlines())
    drew = (frames / "renderer.txt").read_text()
    assert drew.startswith(expected), (  # the message says what to do
        f"{driver} drew with {drew!r}, the references with {expected!r}: run tools/install-deps.sh"
        ", or for a new Mesa `make golden`, and review the pictures before committing them.")
    check_against_reference(lambda: numpy.asarray(Image.open(frames / f"{case}.ppm"), dtype=int),
                            case, frames, tolerance)
