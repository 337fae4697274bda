# Thin entry point. `make` builds into dist/; `make demo` and `make test` set the machine up first
# (scripts/prepare.sh: the set-up and the builds, side by side where they can be).
# On a machine without make, ./run TARGET installs it and then runs make TARGET.
.PHONY: all build setup demo test fuzz clean

all: build

build:
	@scripts/build.sh

setup:
	@scripts/setup.sh

demo:
	@scripts/prepare.sh
	@scripts/demo.sh

test:
	@scripts/prepare.sh
	@scripts/run-tests.sh

fuzz:
	@scripts/prepare.sh
	@scripts/fuzz.sh long

clean:
	rm -rf build dist
