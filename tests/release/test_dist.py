# The source release made from a clone with a change not yet committed: the change goes in and is
# named, an untracked file stays out, and the clone's files and stashes are left as they were.

import subprocess
import tarfile

from conftest import ROOT


def test_make_dist_takes_an_uncommitted_change_and_names_it(tmp_path):
    clone = tmp_path / "clone"
    subprocess.run(["git", "clone", "-q", ROOT, str(clone)], check=True)
    readme = (clone / "README.md").read_text()
    (clone / "README.md").write_text(readme + "A line not yet committed.\n")
    (clone / "scratch.txt").write_text("untracked\n")
    status = subprocess.run(["git", "status", "--porcelain"], cwd=clone, capture_output=True,
                            text=True, check=True).stdout
    made = subprocess.run(["bash", "tools/make-dist.sh"], cwd=clone, capture_output=True, text=True,
                          env={"PATH": "/usr/bin:/bin", "SOURCE_DATE_EPOCH": "1700000000",
                               "DIST_DIR": str(tmp_path)})
    assert made.returncode == 0, made.stderr
    said = made.stderr.splitlines()
    assert said[0] == "make dist: the tarball holds these uncommitted changes:"
    assert said[1].split() == ["README.md", "|", "1", "+"]
    [tarball] = tmp_path.glob("embervane-*.tar.gz")
    with tarfile.open(tarball) as release:
        top = release.getnames()[0].split("/")[0]
        assert release.extractfile(f"{top}/README.md").read().decode() == (
            readme + "A line not yet committed.\n")
        assert f"{top}/scratch.txt" not in release.getnames()
    assert subprocess.run(["git", "status", "--porcelain"], cwd=clone, capture_output=True,
                          text=True, check=True).stdout == status
    assert subprocess.run(["git", "stash", "list"], cwd=clone, capture_output=True, text=True,
                          check=True).stdout == ""
