# SPDX-License-Identifier: GPL-3.0-or-later
# Thin wrapper over CMake: `make run` builds and starts Tavik, `make test`
# builds and runs the whole test suite. Both install missing Debian packages.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

# The package sets of scripts/install-deps the goals need: running needs the
# build and run-time packages, the tests and benchmarks the test tools too.
DEPS := run
ifneq ($(filter test bench startup screenshot,$(MAKECMDGOALS)),)
DEPS += test
endif
ifneq ($(filter startup screenshot,$(MAKECMDGOALS)),)
DEPS += screenshot
endif
ifneq ($(filter package,$(MAKECMDGOALS)),)
DEPS += package
endif

# Debian's build flags with every hardening feature (stack protector,
# _FORTIFY_SOURCE, relro, BIND_NOW), plus the stack clash and x86 control
# flow protection that newer dpkg adds by itself. The sources are C++ only,
# so CFLAGS do not apply; CMake does not read CPPFLAGS, so they join CXXFLAGS.
CF_PROTECTION := $(if $(filter x86_64 i%86,$(shell uname -m)),-fcf-protection)
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all \
	DEB_CXXFLAGS_MAINT_APPEND="-fstack-clash-protection $(CF_PROTECTION)" dpkg-buildflags --get

.PHONY: all deps configure build run test bench startup screenshot package clean format

all: build

deps:
	./scripts/install-deps $(DEPS)

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/tavik

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	./$(BUILD)/bench/tavik_bench
	./$(BUILD)/bench/tavik_drop_bench
	./$(BUILD)/bench/tavik_calc_bench
	./$(BUILD)/bench/tavik_ts_bench

# Start-up time and memory against a bare Qt window (needs Xvfb).
startup: build
	./bench/startup.sh $(BUILD)

# Regenerates docs/screenshot*.png from the real window under Xvfb.
screenshot: build
	./scripts/screenshot $(BUILD)/tavik

# The Debian package, built for the prefix it installs to, hardened.
package: deps
	cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
		-DBUILD_TESTING=OFF -DTAVIK_BENCH=OFF \
		-DCMAKE_CXX_FLAGS="$$($(DEB_FLAGS) CPPFLAGS) $$($(DEB_FLAGS) CXXFLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_FLAGS) LDFLAGS)"
	cmake --build build-package -j $(JOBS)
	cd build-package && cpack -G DEB
	cp build-package/tavik_*.deb .
	@ls tavik_*.deb

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) build-package
