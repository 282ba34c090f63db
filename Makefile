# The two commands of the README: `make test` (and, later, `make demo`).
# Every target that builds or lints installs what is missing first.

.PHONY: all deps build build-host build-host-asan build-windows build-windows-x86 test test-host \
	test-host-asan test-wine test-fuzz check-layers lint bench clean

all: build

deps:
	@scripts/install-deps.sh

# build-windows and build-windows-x86 cross-build kthelper.exe (x86-64 and x86) with mingw-w64.
build-host build-host-asan build-windows build-windows-x86: build-%: deps
	cmake --preset $* >/dev/null
	cmake --build --preset $*

build: build-host

test-host test-host-asan: test-%: build-%
	ctest --preset $* -j 2

# kthelper.exe under Wine, once per Windows build, each in a Wine prefix and HOME of its own
# under build/host/wine. Where no 32-bit program can run, the x86 run skips the tests that
# run it and says why; the x86-64 build's resource reader still reads the x86 exe's resources.
test-wine: build-host build-windows build-windows-x86
	build/host/bin/kt_wine_tests --windows-bin=build/windows/bin
	build/host/bin/kt_wine_tests --windows-bin=build/windows-x86/bin --reader-bin=build/windows/bin

# A short run of every fuzz target (about a minute), after the unit tests.
test-fuzz: deps
	scripts/run-fuzz.sh

# The include rules between the layers, and the check's own test on scratch trees; a second
# or two, before anything is built.
check-layers:
	@scripts/check-layers.sh
	@scripts/check-layers-test.sh

test: check-layers test-host test-host-asan test-wine test-fuzz

# Static checks, not part of `make test`: clang-format, clang-tidy and cppcheck; silent when
# clean (scripts/lint.sh).
lint:
	@scripts/install-deps.sh lint
	@scripts/lint.sh

# ktverify on a large signed file against OpenSSL and coreutils, and kt_bench; a few minutes,
# run by hand, not part of `make test` (scripts/bench.sh).
bench:
	@scripts/bench.sh

clean:
	rm -rf build
