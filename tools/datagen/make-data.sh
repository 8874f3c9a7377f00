#!/usr/bin/env bash
# Rebuilds the texture generator and regenerates data/ (font atlas, wood floor, star sprite, checksums).
set -euo pipefail

scriptDir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repoRoot="$(cd "${scriptDir}/../.." && pwd)"
buildDir="${DATAGEN_BUILD_DIR:-/tmp/datagen-build}"
fontPath="/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf"

# The glyph atlas needs the rasteriser headers and the exact font it was made from.
if ! dpkg -s libfreetype-dev >/dev/null 2>&1 || ! dpkg -s fonts-dejavu-core >/dev/null 2>&1 || [ ! -f "${fontPath}" ]; then
    sudoCmd=""
    if [ "$(id -u)" -ne 0 ]; then sudoCmd="sudo"; fi
    ${sudoCmd} apt-get update
    ${sudoCmd} apt-get install -y libfreetype-dev fonts-dejavu-core
fi

cmake -S "${scriptDir}" -B "${buildDir}" -DCMAKE_BUILD_TYPE=Release
cmake --build "${buildDir}"

mkdir -p "${repoRoot}/data"
"${buildDir}/make-data" "${fontPath}" "${repoRoot}/data"

cd "${repoRoot}/data"
sha256sum font.tga star.tga wood.tga > SHA256SUMS
cat SHA256SUMS
