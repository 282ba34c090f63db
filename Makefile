# The two commands of the README: `make test` (and, later, `make demo`).
# Every target installs what is missing first.

.PHONY: all deps build build-host build-host-asan test test-host test-host-asan test-fuzz lint clean

all: build

deps:
	@scripts/install-deps.sh

build-host build-host-asan: build-%: deps
	cmake --preset $* >/dev/null
	cmake --build --preset $*

build: build-host

test-host test-host-asan: test-%: build-%
	ctest --preset $* -j 2

# A short run of every fuzz target (about a minute), after the unit tests.
test-fuzz: deps
	scripts/run-fuzz.sh

test: test-host test-host-asan test-fuzz

# Static checks, not part of `make test`: clang-format, clang-tidy and cppcheck; silent when
# clean (scripts/lint.sh).
lint:
	@scripts/install-deps.sh lint
	@scripts/lint.sh

clean:
	rm -rf build
