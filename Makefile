# Thin entry point. `make` builds into dist/; `make demo` and `make test` set the machine up first.
# On a machine without make, ./run TARGET installs it and then runs make TARGET.
.PHONY: all build setup demo test fuzz clean

all: build

build:
	@scripts/build.sh

setup:
	@scripts/setup.sh

demo:
	@scripts/setup.sh
	@scripts/build.sh
	@scripts/demo.sh

test:
	@scripts/setup.sh
	@scripts/build.sh
	@scripts/run-tests.sh

fuzz:
	@scripts/setup.sh
	@scripts/build.sh
	@scripts/fuzz.sh long

clean:
	rm -rf build dist
