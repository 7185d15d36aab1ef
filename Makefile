# tolvane: `make demo` runs the example medium, `make test` runs everything.
# Both install what is missing first (Debian packages, as root).

.PHONY: all deps deps-posix posix windows windows64 demo test test-posix test-windows clean

all: posix windows

deps:
	@sh scripts/install-deps.sh all

deps-posix:
	@sh scripts/install-deps.sh posix

posix: deps-posix
	cmake --preset posix
	cmake --build --preset posix

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

test-windows: windows windows64
	ctest --preset windows

test: test-posix test-windows

clean:
	rm -rf build
