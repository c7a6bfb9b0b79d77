# The README's two commands: `make run` builds and opens the program, `make test` builds and runs every test.
# Both install what is missing first.

RELEASE_DIR := build/release

.PHONY: deps build run test test-portable test-asan fuzz-smoke bench demo help

help:
	@echo "make run        build and open Mozenta"
	@echo "make test       build and run every test"
	@echo "make test-portable  run every test again with the portable kernels forced (MOZENTA_FORCE_PORTABLE=1)"
	@echo "make test-asan  run the tests under AddressSanitizer and UndefinedBehaviorSanitizer"
	@echo "make fuzz-smoke run every fuzz target for a short fixed time (clang, sanitizers)"
	@echo "make bench      run the benchmarks"
	@echo "make demo       convert a sample picture with mozenta-batch into build/demo/"

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset release
	cmake --build --preset release

run: build
	$(RELEASE_DIR)/src/app/mozenta

test: build
	ctest --preset release

# The same suite with the vector kernels switched off at run time: the portable kernels carry every golden
# file and assertion on their own.
test-portable: build
	MOZENTA_FORCE_PORTABLE=1 ctest --preset release

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

fuzz-smoke: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	fuzz/smoke.sh

bench: build
	$(RELEASE_DIR)/bench/conversion_bench
	$(RELEASE_DIR)/bench/jpeg_decode_bench
	$(RELEASE_DIR)/bench/output_bench
	$(RELEASE_DIR)/bench/image_paint_bench
	$(RELEASE_DIR)/bench/bmp_load_bench

demo: build
	mkdir -p build/demo
	$(RELEASE_DIR)/bench/make_photo 480 320 build/demo/sample.bmp
	$(RELEASE_DIR)/src/batch/mozenta-batch --block-width 40 --block-height 40 build/demo/sample.bmp build/demo/sample-mosaic
	@echo "wrote build/demo/sample-mosaic.txt, .csv and .bmp from build/demo/sample.bmp"
