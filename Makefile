# The README's two commands (run, test) and the project's other chores. Each target installs what
# it needs when missing; the builds themselves are the presets in CMakePresets.json.
PYTHON := /usr/bin/python3
XSESSION := $(PYTHON) tools/xsession.py run
.PHONY: deps release asan program run test bench plot package dist golden soak screenshots windows

# The packages and the source tarball take their times from the changelog's top entry, unless
# the caller has set SOURCE_DATE_EPOCH: the same bytes from every build of one commit.
SOURCE_DATE_EPOCH ?= $(shell dpkg-parsechangelog -l packaging/changelog -STimestamp)
RELEASE = SOURCE_DATE_EPOCH=$(SOURCE_DATE_EPOCH)

deps:
	bash tools/install-deps.sh

# A build preset each: everything in build/ or build-asan/, or just the program in build/.
release asan program: deps
	cmake --preset $(if $(filter asan,$@),asan,release)
	cmake --build --preset $@

# The Windows programs, their unit tests and the release zip in build-windows/, cross-built with
# mingw-w64; `ctest --preset windows` runs the unit tests under Wine.
windows:
	bash tools/install-deps.sh windows
	cmake --preset windows
	cmake --build --preset windows

run: program
	bash tools/run-program.sh

# Unit tests in both builds and in the Windows build under Wine, the release rebuilt from its
# tarball offline, then the system tests on pytest (golden frames, the real program under Xvfb and
# under Wine, the installed program) while the decoder and log reader fuzzers run beside them at a
# low priority; their report follows theirs.
test: release asan package dist windows
	ctest --preset release -j $$(nproc)
	ctest --preset asan -j $$(nproc)
	ctest --preset windows
	$(RELEASE) bash tests/release/check-release.sh
	nice -n 19 bash -c 'bash tests/fuzz/run-fuzzer.sh build/tests/fuzz/decode_fuzzer $$0 && \
	    bash tests/fuzz/run-fuzzer.sh build/tests/fuzz/log_fuzzer $$1 log-corpus' \
	    $${FUZZ_SECONDS:-40} $${LOG_FUZZ_SECONDS:-20} >build/fuzz.log 2>&1 & \
	pytest-3 tests; tests=$$?; \
	wait $$!; fuzz=$$?; \
	if [ $$fuzz -eq 0 ]; then grep "^stat::" build/fuzz.log; else cat build/fuzz.log; fi; \
	exit $$((tests || fuzz))

bench: release
	$(XSESSION) sh -c 'for bench in build/bench/*_bench; do echo "== $$bench"; $$bench || exit 1; done'

# docs/scaling.png: the frame, the vertex-array reference frame and the simulation step from 500
# to 120000 particles, the median of three repetitions each; the figures stay in build/scaling.json.
# The benchmark runs from data/, so its output path is absolute.
plot: release
	$(XSESSION) build/bench/frame_bench --scaling --benchmark_filter='^Scaling/' \
	    --benchmark_repetitions=3 --benchmark_out="$(CURDIR)/build/scaling.json" \
	    --benchmark_out_format=json
	$(PYTHON) tools/plot-scaling.py build/scaling.json docs/scaling.png

package: release
	$(RELEASE) cpack --preset packages

dist: deps
	$(RELEASE) bash tools/make-dist.sh

# Rewrites the golden simulation results and frames from the current program, and beside the
# frames the GL renderer and version that drew them, which the frame tests hold every run to.
# Look at the changed pictures before committing them: a test never rewrites its own reference.
golden: release windows
	build/tests/golden_tool --simulation build/simulation.txt <tests/data/simulation.txt
	mv build/simulation.txt tests/data/simulation.txt
	rm -rf build/golden && mkdir build/golden
	$(XSESSION) build/tests/golden_tool --frames "$(CURDIR)/build/golden"
	$(PYTHON) tools/xsession.py menu build/golden/menu.ppm
	$(PYTHON) tools/xsession.py menu build/golden/menu-windows.ppm windows
	mogrify -format png -define png:exclude-chunks=date,time build/golden/*.ppm
	cp build/golden/*.png build/golden/renderer.txt tests/data/golden/

# Ten minutes (MINUTES=...) at 120000 particles in benchmark mode, under heaptrack: the program's
# own code must give back all it took.
soak: release
	$(PYTHON) tools/soak.py $${MINUTES:-10}

screenshots: release
	$(PYTHON) tools/screenshots.py
