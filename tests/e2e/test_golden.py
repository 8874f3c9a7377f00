# The frames that the golden tool renders against the references in tests/data/golden, which
# `make golden` writes. A channel may differ by a little (TOLERANCE) in a few pixels (OUTLIERS):
# a moved vertex, glyph or texture coordinate, a wrong colour or GL state, differs by far more in
# far more pixels. On a mismatch the frame and a picture of the difference are kept.

import os
import subprocess

import numpy
import pytest
from PIL import Image

from conftest import ROOT, XServer

TOLERANCE = 8
OUTLIERS = 16


@pytest.fixture(scope="module")
def frames(tmp_path_factory):
    folder = tmp_path_factory.mktemp("frames")
    with XServer() as x:
        tool = os.path.join(ROOT, "build", "tests", "golden_tool")
        subprocess.run([tool, "--frames", folder], env=x.env, check=True)
    return folder


@pytest.mark.parametrize("case", ["bare", "below", "fountain", "orbit", "text"])
def test_frame_matches_its_reference(frames, case):
    seen = numpy.asarray(Image.open(frames / f"{case}.ppm"), dtype=int)
    reference = Image.open(os.path.join(ROOT, "tests", "data", "golden", f"{case}.png"))
    wanted = numpy.asarray(reference.convert("RGB"), dtype=int)
    off = numpy.abs(seen - wanted).max(axis=-1) > TOLERANCE
    if off.sum() > OUTLIERS:
        Image.open(frames / f"{case}.ppm").save(frames / f"{case}.png")
        difference = numpy.where(off[..., None], [255, 0, 0], wanted // 3)  # red on the dimmed
        Image.fromarray(difference.astype(numpy.uint8)).save(frames / f"{case}-difference.png")
        pytest.fail(f"{off.sum()} pixels differ by more than {TOLERANCE}: "
                    f"{frames}/{case}.png, {case}-difference.png")
