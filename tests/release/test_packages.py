# The program as installed, and as unpacked from each package: every file where a distribution
# wants it, the distributions' checkers content, and every picture drawn.

import glob
import os
import re
import shutil
import subprocess

import numpy
import pytest
from PIL import Image

from conftest import FLOOR, PLAIN, ROOT, SKY, WINDOW_TITLE, plain, wait_for


# Where the install and both packages put each file; the checker of each file that has one.
DESKTOP = "share/applications/embervane.desktop"
METAINFO = "share/metainfo/org.embervane.embervane.metainfo.xml"
CHECKED = {DESKTOP: "desktop-file-validate {}",
           METAINFO: "appstreamcli validate --no-net --strict {}",
           **{f"share/man/{page}.gz": "man --warnings -l -Tutf8 -Z {} >/dev/null"
              for page in ("man6/embervane.6", "man1/embervane-compare.1",
                           "man1/embervane-bench.1")}}
LAYOUT = {*CHECKED, "bin/embervane", "bin/embervane-compare", "bin/embervane-bench",
          "libexec/embervane/embervane", "share/doc/embervane/copyright", "share/doc/embervane/changelog.gz",
          *(f"share/embervane/{name}.tga" for name in ("font", "wood", "star")),
          *(f"share/icons/hicolor/{n}x{n}/apps/embervane.png" for n in (16, 32, 48, 64, 128, 256)),
          "share/icons/hicolor/scalable/apps/embervane.svg"}
PACKAGES = {"deb": ("lintian --pedantic {}", "E|W|I|P", "dpkg-deb -f {} Depends",
                    "dpkg-deb -x {} {}"),
            "rpm": ("rpmlint --permissive {}", "E", "rpm -qpR {}",  # status 0 despite errors
                    "mkdir {1} && rpm2cpio {0} | cpio -id -D {1}")}


# The Debian package of each command below whose name is not the command's own.
BROUGHT_BY = {"dpkg-deb": "dpkg", "desktop-file-validate": "desktop-file-utils",
              "appstreamcli": "appstream", "man": "man-db", "mkdir": "coreutils"}


# Runs a shell command with the paths quoted in its {}; its output and errors together. Every
# command in it must be there and succeed, in a pipe too: a checker that is missing or fails is
# a failure, never an empty report.
def shell(command, *paths):
    for tool in re.findall(r"(?:^|[|&] *)([\w-]+)", command):
        assert shutil.which(tool), f"no {tool}: apt-get install {BROUGHT_BY.get(tool, tool)}"
    run = subprocess.run(["bash", "-o", "pipefail", "-c",
                          command.format(*(f"'{path}'" for path in paths))],
                         text=True, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    assert run.returncode == 0, f"{command} ended with status {run.returncode}:\n{run.stdout}"
    return run.stdout


# A checker's errors, warnings, notes and pedantic findings (lintian shows the last two only when
# asked; an RPM's errors alone), less the signature that whoever distributes a package adds.
def complaints(checker, path, kinds="E|W|I|P|error|warning"):
    return [line for line in shell(checker, path).splitlines()
            if re.search(rf"\b({kinds}):", line) and "no-signature" not in line]


# Installed, or unpacked from a package and checked, and started through its launcher elsewhere:
# every file where a distribution wants it, the window named as the desktop entry says, and all
# three pictures drawn.
@pytest.mark.parametrize("how", ["install", "deb", "rpm"])
def test_the_installed_files_pass_their_checkers_and_draw_every_picture(launch, tmp_path, how):
    prefix = tmp_path / "a root" / "usr"
    if how == "install":
        shell("cmake --install {} --prefix {}", os.path.join(ROOT, "build"), prefix)
    else:
        package = max(glob.glob(f"{ROOT}/build/embervane*.{how}"), key=os.path.getmtime)
        checker, kinds, needs, unpack = PACKAGES[how]  # checker, what counts, needs, unpacker
        assert complaints(checker, package, kinds) == []
        assert "libglut" in shell(needs, package)
        shell(unpack, package, prefix.parent)
    assert {str(p.relative_to(prefix)) for p in prefix.rglob("*") if p.is_file()} == LAYOUT
    for path, checker in CHECKED.items():
        assert complaints(checker, prefix / path) == []
    icon = re.search(r"^Icon=(.*)$", (prefix / DESKTOP).read_text(), re.M)[1]
    assert len(list(prefix.glob(f"share/icons/hicolor/*/apps/{icon}.*"))) == 7, icon
    launchable = re.search(r'"desktop-id">([^<]*)</launchable>', (prefix / METAINFO).read_text())
    assert (prefix / DESKTOP).name == launchable[1]
    app = launch(prefix / "bin" / "embervane", cwd=tmp_path)
    # Named for a dock or task bar: the class that the desktop entry names, the title in UTF-8,
    # and the installed icons' pixels, as _NET_WM_ICON's width, height and ARGB words.
    startup_class = re.search(r"^StartupWMClass=(.*)$", (prefix / DESKTOP).read_text(), re.M)[1]
    assert app.x.run("xprop", "-id", app.window, "WM_CLASS") == (
        f'WM_CLASS(STRING) = "embervane", "{startup_class}"\n')
    assert app.x.run("xprop", "-id", app.window, "_NET_WM_NAME") == (
        f'_NET_WM_NAME(UTF8_STRING) = "{WINDOW_TITLE}"\n')
    icons = []
    for n in (16, 32, 48):
        argb = numpy.asarray(Image.open(prefix / f"share/icons/hicolor/{n}x{n}/apps/embervane.png"))
        icons += [n, n, *argb[..., [3, 0, 1, 2]].copy().view(">u4").flat]
    assert [*map(int, app.x.run("xprop", "-id", app.window, "-f", "_NET_WM_ICON", "32c", "=$0+",
                                "_NET_WM_ICON").split("=")[1].split(","))] == icons
    frame = wait_for(app, lambda f: ((f[FLOOR][..., 0] > f[FLOOR][..., 1] + 20) &
                                     (f[FLOOR][..., 1] > f[FLOOR][..., 2] + 10)).mean() > 0.6
                     and (f[SKY].max(-1) > 60).mean() > 0.005, "a wooden floor, particles above")
    for picture, share in plain(frame).items():
        assert share < PLAIN[picture], f"{share:.3f} plain: {picture}"
