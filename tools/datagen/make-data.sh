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

# The Windows program's icon: the drawn sizes up to 256 as PNG entries of one .ico, as Windows
# reads them since Vista.
cd "${repoRoot}/data"
python3 - icons/embervane.ico icons/embervane-{16,32,48,256}.png <<'PYTHON'
import struct, sys
images = [open(name, "rb").read() for name in sys.argv[2:]]
offset = 6 + 16 * len(images)
header = struct.pack("<HHH", 0, 1, len(images))
for image in images:
    width, height = struct.unpack(">II", image[16:24])
    header += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(image), offset)
    offset += len(image)
open(sys.argv[1], "wb").write(header + b"".join(images))
PYTHON
sha256sum font.tga star.tga wood.tga icons/* > SHA256SUMS
cat SHA256SUMS
