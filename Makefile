# The two commands of the README: `make test` (and, later, `make demo`).
# Every target installs what is missing first.

.PHONY: all deps build build-host build-host-asan test test-host test-host-asan clean

all: build

deps:
	@scripts/install-deps.sh

build-host build-host-asan: build-%: deps
	cmake --preset $* >/dev/null
	cmake --build --preset $*

build: build-host

test-host test-host-asan: test-%: build-%
	ctest --preset $* -j 2

test: test-host test-host-asan

clean:
	rm -rf build
