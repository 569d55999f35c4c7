# SPDX-License-Identifier: GPL-3.0-or-later
# Thin wrapper over CMake: `make run` builds and starts Tavik, `make test`
# builds and runs the whole test suite. Both install missing Debian packages.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench startup screenshot package clean format

all: build

deps:
	./scripts/install-deps

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

# Start-up time and memory against a bare Qt window (needs Xvfb).
startup: build
	./scripts/install-deps --screenshot
	./bench/startup.sh $(BUILD)

# Regenerates docs/screenshot*.png from the real window under Xvfb.
screenshot: build
	./scripts/install-deps --screenshot
	./scripts/screenshot $(BUILD)/tavik

# The Debian package, built for the prefix it installs to.
package: deps
	cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
		-DBUILD_TESTING=OFF -DTAVIK_BENCH=OFF
	cmake --build build-package -j $(JOBS)
	cd build-package && cpack -G DEB
	cp build-package/tavik_*.deb .
	@ls tavik_*.deb

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) build-package
