#!/usr/bin/env bash
# Builds the program and runs every test: unit and GL tests in a release build and again under
# AddressSanitizer and UndefinedBehaviorSanitizer, the decoder fuzzer for a bounded time, and
# the end-to-end suite against the real program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DEMBERVANE_SANITIZE=ON
cmake --build build-asan -j "$jobs"

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
echo "== Tests: release build"
bash tools/with-display.sh --private ctest --test-dir build --output-on-failure -j "$jobs"
echo "== Tests: sanitizer build"
bash tools/with-display.sh --private ctest --test-dir build-asan --output-on-failure -j "$jobs"

if [ -x build/tests/fuzz/decode_fuzzer ]; then
    echo "== Fuzzing the TGA decoder for ${FUZZ_SECONDS:-60} s"
    bash tests/fuzz/run-fuzzer.sh build/tests/fuzz/decode_fuzzer "${FUZZ_SECONDS:-60}"
fi

if [ -f tests/e2e/run-e2e.sh ]; then
    echo "== End-to-end suite"
    bash tools/with-display.sh --private bash tests/e2e/run-e2e.sh build/embervane build-asan/embervane
fi
