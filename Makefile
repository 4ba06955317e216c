# The two set-up commands of the README: `make run` and `make test`.
MAKEFLAGS += --no-print-directory
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_BUILD_TYPE ?= RelWithDebInfo

.PHONY: all build run test bench deps clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(CMAKE_BUILD_TYPE)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-demo $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

bench: build
	@scripts/run-bench $(BUILD)

# The Debian package; installing and trying it needs root (or sudo).
.PHONY: package test-package
package: build
	@scripts/install-deps dpkg-dev file
	cd $(BUILD) && cpack -G DEB

test-package: package
	@scripts/test-package $(BUILD)

# The core and its unit tests cross-built for Windows and run under Wine.
WINDOWS_BUILD ?= build-windows
.PHONY: test-windows
test-windows:
	@scripts/install-deps g++-mingw-w64-x86-64-posix googletest wine64 socat
	@JOBS=$(JOBS) scripts/test-windows $(WINDOWS_BUILD)

clean:
	rm -rf $(BUILD)
