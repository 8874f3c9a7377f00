#!/usr/bin/env bash
# Installs the Debian packages that building, running, testing, packaging (and checking the
# packages) and remaking data/ need, when any is missing.
set -euo pipefail

# mesa-vulkan-drivers brings lavapipe, the Vulkan device under which the frame tests run Mesa's
# zink; openbox is the window manager of the system tests that run where users do; git packs the source release and
# util-linux's unshare cuts the network from its test build; heaptrack records the soak's heap.
packages=(make cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libbenchmark-dev
          freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri mesa-vulkan-drivers dpkg-dev xvfb
          openbox xdotool imagemagick x11-utils python3 python3-pytest python3-numpy python3-pil
          python3-xlib python3-matplotlib libfreetype-dev zlib1g-dev fonts-dejavu-core rpm
          rpm2cpio cpio lintian rpmlint appstream desktop-file-utils man-db groff-base git
          util-linux libx11-dev heaptrack)
# `install-deps.sh windows`: also the Windows cross-build's compilers, GoogleTest's sources
# (libgtest-dev) and Wine, which runs its programs here.
if [ "${1:-}" = windows ]; then
    packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
               wine wine64)
fi
missing=()
for package in "${packages[@]}"; do
    # A package removed but not purged still has a status: only "installed" counts.
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root=(env DEBIAN_FRONTEND=noninteractive)
    [ "$(id -u)" -eq 0 ] || as_root=(sudo DEBIAN_FRONTEND=noninteractive)
    "${as_root[@]}" apt-get update
    "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
