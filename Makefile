# tolvane: `make demo` runs the example medium, `make test` runs everything.
# Both install what is missing first (Debian packages, as root).
# `make help` lists every target.

.PHONY: help all deps deps-posix posix posix-asan posix-release windows windows-brand demo test test-posix \
        test-asan test-windows test-kit fuzz fuzz-brief bench sign dist screenshots clean

help:
	@echo "tolvane: make targets"
	@echo "  demo          build the POSIX launcher and run it on the example medium (examples/medium)"
	@echo "  test          everything below marked *, in this order; what CI runs"
	@echo "  test-posix    * unit tests (fake platform) and end-to-end cases on the POSIX stand-in"
	@echo "  test-asan     * the same under AddressSanitizer, UndefinedBehaviorSanitizer, LeakSanitizer"
	@echo "  fuzz-brief    * every fuzz target for 20 s"
	@echo "  test-windows  * exe checks, and the end-to-end cases against the i686 tolvane.exe under Wine"
	@echo "  test-kit      * the vendor's kit: a branded build, signing, reproducible builds and archives"
	@echo "  fuzz          every fuzz target for FUZZ_SECONDS (default 60)"
	@echo "  bench         benchmarks (figures only, never pass or fail); see bench/README.md"
	@echo "  dist          the release archives in dist/ (signed exes when TOLVANE_SIGN_PKCS12 is set)"
	@echo "  sign          the exes signed with TOLVANE_SIGN_PKCS12 and TOLVANE_SIGN_PASSWORD_FILE"
	@echo "                (optional TOLVANE_SIGN_TIMESTAMP_URL) into build/windows/signed; see docs/shipping.md"
	@echo "  screenshots   the pictures of docs/shipping.md, from the real exe under Wine and Xvfb"
	@echo "  posix, posix-asan, posix-release, windows, windows-brand   build one CMake preset"
	@echo "  all           build the posix and windows presets"
	@echo "  deps          install the Debian packages the build and tests need (deps-posix: POSIX only)"
	@echo "  clean         remove build/"

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

posix-release: deps-posix
	cmake --preset posix-release
	cmake --build --preset posix-release

windows: deps
	cmake --preset windows
	cmake --build --preset windows

windows-brand: deps
	cmake --preset windows-brand
	cmake --build --preset windows-brand

demo: posix
	sh examples/demo.sh build/posix/tolvane

test-posix: posix
	ctest --preset posix

# The unit and POSIX end-to-end tests again, under AddressSanitizer,
# UndefinedBehaviorSanitizer and LeakSanitizer.
test-asan: posix-asan
	ctest --preset posix-asan

# The exe checks and the Wine cases.  Where the kernel refuses 32-bit code,
# tests/windows/i386.py fetches an emulator into build/windows/tools and runs
# Wine in a namespace of its own.
test-windows: windows
	ctest --preset windows

# The vendor's kit: the branded build's exe checks, signing with a
# throw-away certificate, a second build in another folder giving the same
# bytes, and the archives written twice giving the same bytes.
test-kit: windows windows-brand posix-release
	sh tests/kit/run.sh

sign: windows
	cmake --build --preset windows --target sign

# The release archives.  With a certificate in the environment, the exes
# in the Windows archive are signed (and the archive is then not the same
# bytes from one build to the next: a signature holds its time).
dist: windows posix-release
	@if [ -n "$${TOLVANE_SIGN_PKCS12:-}" ]; then \
	    cmake --build --preset windows --target sign && \
	    python3 scripts/dist.py --windows build/windows/signed --posix build/posix-release; \
	else \
	    python3 scripts/dist.py --windows build/windows --posix build/posix-release; \
	fi

# The pictures of docs/shipping.md, from the real exe under Wine and Xvfb.
screenshots: windows
	python3 tests/windows/i386.py --cache build/windows/tools -- \
	    python3 scripts/screenshots.py build/windows/tolvane.exe docs/images

# Fuzzing with libFuzzer: each target for FUZZ_SECONDS (make test: briefly).
FUZZ_SECONDS ?= 60
fuzz: deps-posix
	sh fuzz/run.sh $(FUZZ_SECONDS)

fuzz-brief: deps-posix
	sh fuzz/run.sh 20

# Benchmarks: figures only, never part of make test's pass or fail.
bench: posix
	sh bench/run.sh

# Each stage in turn, with the time each took at the end.
test:
	@sh scripts/stages.sh deps test-posix test-asan fuzz-brief test-windows test-kit

clean:
	rm -rf build
