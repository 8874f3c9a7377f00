#!/usr/bin/env bash
# Writes the source release, build/embervane-<version>.tar.gz: git's tracked files as committed,
# under embervane-<version>/, in name order and owned by root, every entry dated the commit or
# SOURCE_DATE_EPOCH, whichever is earlier (never ahead of the unpacking, where a build would take
# every file for newer than its outputs), gzipped without a name or time: the same bytes from
# every clone of one commit. An uncommitted change to a tracked file goes in too, and is named;
# untracked and ignored files never do. Whatever the umask, every file is readable by all and
# only its owner writes it; what git marks executable stays so. The staging takes the umask as a
# user's unpacking does, root's too, so that a release made by root shows what a user's would.
# DIST_DIR picks another folder.
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(Embervane VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
name=embervane-$version
: "${SOURCE_DATE_EPOCH:?the time of the release entries, in seconds since 1970}"
commit=$(git stash create)  # empty when the tracked files are as committed
if [ -n "$commit" ]; then
    echo "make dist: the tarball holds these uncommitted changes:" >&2
    git diff --stat HEAD >&2
fi
out=${DIST_DIR:-build}
stage=$out/dist
rm -rf "$stage" && mkdir -p "$stage"
git archive --prefix="$name/" "${commit:-HEAD}" | tar -x --no-same-permissions -C "$stage"
tar -c -C "$stage" --sort=name --mtime=@"$SOURCE_DATE_EPOCH" --clamp-mtime --mode=u+rw,go=rX \
    --owner=0 --group=0 --numeric-owner --format=gnu "$name" | gzip -9n >"$out/$name.tar.gz"
rm -rf "$stage"
echo "$out/$name.tar.gz"
