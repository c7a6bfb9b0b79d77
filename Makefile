# The README's two commands: `make run` builds and opens the program, `make test` builds and runs every test.
# Both install what is missing first.

RELEASE_DIR := build/release
PACKAGE_DIR := build/package
PREFIX ?= /usr/local

.PHONY: deps build run test test-portable test-asan fuzz-smoke bench demo install package help

help:
	@echo "make run        build and open Mozenta"
	@echo "make test       build and run every test"
	@echo "make test-portable  run every test again with the portable kernels forced (MOZENTA_FORCE_PORTABLE=1)"
	@echo "make test-asan  run the tests under AddressSanitizer and UndefinedBehaviorSanitizer"
	@echo "make fuzz-smoke run every fuzz target for a short fixed time (clang, sanitizers)"
	@echo "make bench      run the benchmarks"
	@echo "make demo       convert a sample picture with mozenta-batch into build/demo/"
	@echo "make install    install the programs, menu entry, icon and manual pages under PREFIX (/usr/local)"
	@echo "make package    build the Debian package into $(PACKAGE_DIR)/"

deps:
	@scripts/install-deps.sh

# A preset's build folder is configured once; after that the build tool re-runs CMake by itself whenever a
# CMakeLists changes. CMakePresets.json is the one input it does not watch, so a change there configures
# again. CMake leaves build.ninja alone when nothing changed, hence the touch.
build/%/build.ninja: CMakePresets.json | deps
	cmake --preset $*
	@touch $@

build: deps $(RELEASE_DIR)/build.ninja
	cmake --build --preset release

run: build
	$(RELEASE_DIR)/src/app/mozenta

test: build
	ctest --preset release

# The same suite with the vector kernels switched off at run time: the portable kernels carry every golden
# file and assertion on their own.
test-portable: build
	MOZENTA_FORCE_PORTABLE=1 ctest --preset release

test-asan: deps build/asan/build.ninja
	cmake --build --preset asan
	ctest --preset asan

fuzz-smoke: deps build/fuzz/build.ninja
	cmake --build --preset fuzz
	fuzz/smoke.sh

bench: build
	$(RELEASE_DIR)/bench/conversion_bench
	$(RELEASE_DIR)/bench/jpeg_decode_bench
	$(RELEASE_DIR)/bench/output_bench
	$(RELEASE_DIR)/bench/image_paint_bench
	$(RELEASE_DIR)/bench/bmp_load_bench
	$(RELEASE_DIR)/bench/window_steps_bench
	$(RELEASE_DIR)/bench/fit_bench
	$(RELEASE_DIR)/bench/sheets_bench

demo: build
	mkdir -p build/demo
	$(RELEASE_DIR)/bench/make_photo 480 320 build/demo/sample.bmp
	$(RELEASE_DIR)/src/batch/mozenta-batch --block-width 40 --block-height 40 build/demo/sample.bmp build/demo/sample-mosaic
	@echo "wrote build/demo/sample-mosaic.txt, .csv and .bmp from build/demo/sample.bmp"

# DESTDIR, when set, is honoured too (staged installs).
install: build
	cmake --install $(RELEASE_DIR) --prefix $(PREFIX)

package: build
	cpack --config $(RELEASE_DIR)/CPackConfig.cmake -B $(PACKAGE_DIR)
