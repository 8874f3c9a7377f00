#!/usr/bin/env bash
# The release rebuilt elsewhere, later: the source tarball holds git's tracked files and nothing
# else, and unpacked into an empty folder, with no .git and no network, it configures, builds,
# passes its unit tests and packages the very bytes of build/'s packages and of build-windows/'s
# zip. Run after `make package`, `make dist` and `make windows`, with their SOURCE_DATE_EPOCH. A
# tarball made under a private umask is the same bytes, and unpacked under one its files are
# readable by all, its programs runnable.
set -euo pipefail
cd "$(dirname "$0")/../.."
version=$(sed -n 's/^project(Embervane VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
tarball=build/embervane-$version.tar.gz
diff <(git ls-files | sed "s|^|embervane-$version/|" | sort) <(tar -tzf "$tarball" | grep -v '/$' | sort)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(umask 077 && DIST_DIR=$work bash tools/make-dist.sh >/dev/null && cmp "$tarball" "$work/${tarball#build/}")
(umask 077 && tar -xpzf "$tarball" -C "$work")
private=$(find "$work/embervane-$version" ! -perm -u+rw,go+r -o -type d ! -perm -a+x -o -name '*.sh' ! -perm -a+x)
[ -z "$private" ] || { echo "check-release: not readable (or runnable) by all: $private" >&2; exit 1; }
sha256sum "build/embervane_${version}_amd64.deb" "build/embervane-$version-1.x86_64.rpm" \
    "build-windows/embervane-$version-windows-x86_64.zip" >"$work/sums"
# Without the benchmarks, and packaging the program without building every other target first.
unshare --net --map-root-user bash -euxc 'cd "$1"
    cmake --preset release -DEMBERVANE_BENCH=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
    cmake --build --preset release --target core_tests embervane embervane-compare embervane-bench
    ctest --preset release -j "$(nproc)"
    cpack --preset packages >/dev/null
    cmake --preset windows >/dev/null
    cmake --build --preset windows --target windows-zip
    sha256sum -c ../sums' - "$work/embervane-$version"
