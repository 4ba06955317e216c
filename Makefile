# The two set-up commands of the README: `make run` and `make test`; and the
# checks CI runs after them: `make screenshot`, `make soak`, `make sanitize`,
# `make fuzz`, `make test-package`, `make test-windows`, `make windows` and
# `make test-windows-gui`.
MAKEFLAGS += --no-print-directory
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_BUILD_TYPE ?= RelWithDebInfo
# WERROR=ON makes warnings in our code errors (CI).
WERROR ?= OFF
FUZZ_SECONDS ?= 60
FUZZ_RUNS ?= 0

# A sanitizer finding ends the test that made it, and the test fails.
SANITIZER_ENV = \
	ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0 \
	ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer

.PHONY: all build run test bench deps clean sanitize fuzz

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(CMAKE_BUILD_TYPE)

build: deps $(BUILD)/CMakeCache.txt
	cmake $(BUILD) -DQUILLANE_WERROR=$(WERROR) > /dev/null
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-demo $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

bench: build
	@scripts/run-bench $(BUILD)

# The whole suite built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, in a folder of its own.
sanitize:
	@scripts/install-deps clang libclang-rt-14-dev llvm-14
	CC=clang CXX=clang++ cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug \
		-DQUILLANE_SANITIZE=ON -DQUILLANE_WERROR=$(WERROR) > /dev/null
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS) --timeout 300

# The libFuzzer targets of tests/fuzz, FUZZ_SECONDS each (or FUZZ_RUNS inputs).
fuzz:
	@scripts/install-deps clang libclang-rt-14-dev
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DQUILLANE_FUZZ=ON -DQUILLANE_BUILD_UI=OFF -DQUILLANE_BUILD_TESTS=OFF \
		-DQUILLANE_WERROR=$(WERROR) > /dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_RUNS=$(FUZZ_RUNS) scripts/run-fuzz $(FUZZ_BUILD)

# The console against the virtual detector at the full line rate for
# SOAK_SECONDS, the line hung up every SOAK_HANGUP_SECONDS and random keys
# typed meanwhile, on a private X display; with SOAK_SANITIZE_BUILD (a folder
# from make sanitize) once more with that folder's console.
SOAK_SECONDS ?= 600
SOAK_HANGUP_SECONDS ?= 60
SOAK_SANITIZE_BUILD ?=
.PHONY: soak
soak: build
	@scripts/install-deps xvfb openbox xdotool x11-utils
	@SOAK_SECONDS=$(SOAK_SECONDS) SOAK_HANGUP_SECONDS=$(SOAK_HANGUP_SECONDS) \
		$(if $(SOAK_SEED),SOAK_SEED=$(SOAK_SEED)) scripts/soak $(BUILD) $(SOAK_SANITIZE_BUILD)

# The README's picture of the Calibration page, taken anew on a private X
# display; SCREENSHOT says where it goes (QT_SCALE_FACTOR=2: twice the size).
SCREENSHOT ?= docs/calibration-page.png
.PHONY: screenshot
screenshot: build
	@scripts/install-deps xvfb openbox xdotool x11-utils imagemagick
	@scripts/screenshot $(BUILD) $(SCREENSHOT)

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

# The whole console cross-built for Windows against a Qt built once from
# Debian's own sources and kept in ~/.cache/quillane (scripts/build-qt-windows),
# with its zip and its installer.
WINDOWS_GUI_BUILD ?= build-windows-gui
WINDOWS_GUI_DEPS = g++-mingw-w64-x86-64-posix nsis googletest osslsigncode
# Code signing of the programs, the uninstaller and the installer: a PKCS#12
# certificate file, optionally a file with its password and a time-stamping
# server (packaging/windows/make-packages).
SIGN_CERT ?=
SIGN_PASSWORD_FILE ?=
SIGN_TIMESTAMP_URL ?=
.PHONY: windows test-windows-gui
windows:
	@scripts/install-deps $(WINDOWS_GUI_DEPS)
	@JOBS=$(JOBS) WERROR=$(WERROR) QUILLANE_SIGN_CERT="$(SIGN_CERT)" \
		QUILLANE_SIGN_PASSWORD_FILE="$(SIGN_PASSWORD_FILE)" \
		QUILLANE_SIGN_TIMESTAMP_URL="$(SIGN_TIMESTAMP_URL)" scripts/build-windows $(WINDOWS_GUI_BUILD)

# That console under Wine on a virtual display, against the virtual detector
# of the native build; then its installer, and its window tests.
test-windows-gui: build
	@scripts/install-deps $(WINDOWS_GUI_DEPS) wine64 xvfb openbox xdotool imagemagick openssl curl
	@JOBS=$(JOBS) WERROR=$(WERROR) scripts/build-windows $(WINDOWS_GUI_BUILD) \
		test_app test_ui
	@scripts/test-windows-gui $(WINDOWS_GUI_BUILD) $(BUILD)/tools/quillane-detector/quillane-detector

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD) $(WINDOWS_GUI_BUILD)
