#!/usr/bin/env bash
# Rebuilds the data generator and regenerates data/ (font atlas, wood floor, star sprite, the
# desktop icons in data/icons/, checksums).
set -euo pipefail

scriptDir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repoRoot="$(cd "${scriptDir}/../.." && pwd)"
buildDir="${DATAGEN_BUILD_DIR:-/tmp/datagen-build}"
fontPath="/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf"

# The glyph atlas needs the rasteriser headers and the exact font it was made from.
bash "${repoRoot}/tools/install-deps.sh"

cmake -S "${scriptDir}" -B "${buildDir}" -DCMAKE_BUILD_TYPE=Release
cmake --build "${buildDir}"

mkdir -p "${repoRoot}/data"
"${buildDir}/make-data" "${fontPath}" "${repoRoot}/data"

cd "${repoRoot}/data"
sha256sum font.tga star.tga wood.tga icons/* > SHA256SUMS
cat SHA256SUMS
