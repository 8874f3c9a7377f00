# The two commands of the README, and a few more. Each installs what it needs when missing.
.PHONY: run test bench soak screenshots

run:
	bash tools/run-program.sh

test:
	bash tools/run-tests.sh

bench:
	bash tools/run-bench.sh

soak:
	bash tests/e2e/soak.sh

screenshots:
	bash tools/screenshots.sh
