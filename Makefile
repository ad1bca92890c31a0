# Two commands on a fresh Debian 12: `make run` and `make test`; `make bench` measures the speed targets;
# `make picture` makes the README's picture of the window, docs/window.png; `make pictures` the pictures of its
# states the tests compare with, docs/states; `make dist` the release zip in build/dist.
.PHONY: run test bench picture pictures dist deps

deps:
	@tools/install-deps.sh

test: deps
	@tools/test.sh

run: deps
	@tools/run.sh

bench: deps
	@tools/bench.sh

picture: deps
	@tools/make-picture.sh

pictures: deps
	@tools/make-pictures.sh

dist: deps
	@tools/dist.sh
