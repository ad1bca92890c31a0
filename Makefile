# Two commands on a fresh Debian 12: `make run` and `make test`; `make bench` measures the speed targets.
.PHONY: run test bench deps

deps:
	@tools/install-deps.sh

test: deps
	@tools/test.sh

run: deps
	@tools/run.sh

bench: deps
	@tools/bench.sh
