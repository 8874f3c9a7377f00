# The two commands of the README, and a few more. Each installs what it needs when missing.
.PHONY: run test bench soak screenshots release

run:
	bash tools/run-program.sh

test:
	bash tools/run-tests.sh

bench:
	bash tools/run-bench.sh

release:
	bash tools/install-deps.sh
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build build --target embervane

# Ten minutes at 120000 particles in benchmark mode, watching resident memory.
soak: release
	bash tests/e2e/soak.sh build/embervane $(or $(MINUTES),10)

screenshots: release
	bash tools/screenshots.sh
