# tolvane: `make demo` runs the example medium, `make test` runs everything.
# Both install what is missing first (Debian packages, as root).

.PHONY: all deps deps-posix posix posix-asan windows windows64 demo test test-posix test-asan test-windows fuzz fuzz-brief bench clean

all: posix windows

deps:
	@sh scripts/install-deps.sh all

deps-posix:
	@sh scripts/install-deps.sh posix

posix: deps-posix
	cmake --preset posix
	cmake --build --preset posix

posix-asan: deps-posix
	cmake --preset posix-asan
	cmake --build --preset posix-asan

windows: deps
	cmake --preset windows
	cmake --build --preset windows

windows64: deps
	cmake --preset windows64
	cmake --build --preset windows64

demo: posix
	sh examples/demo.sh build/posix/tolvane

test-posix: posix
	ctest --preset posix

# The unit and POSIX end-to-end tests again, under AddressSanitizer,
# UndefinedBehaviorSanitizer and LeakSanitizer.
test-asan: posix-asan
	ctest --preset posix-asan

test-windows: windows windows64
	ctest --preset windows

# Fuzzing with libFuzzer: each target for FUZZ_SECONDS (make test: briefly).
FUZZ_SECONDS ?= 60
fuzz: deps-posix
	sh fuzz/run.sh $(FUZZ_SECONDS)

fuzz-brief: deps-posix
	sh fuzz/run.sh 20

# Benchmarks: figures only, never part of make test's pass or fail.
bench: posix
	sh bench/run.sh

test: test-posix test-asan fuzz-brief test-windows

clean:
	rm -rf build
