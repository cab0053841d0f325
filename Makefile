# Drives both configurations: `native` (builder, tools, tests) and `windows`
# (the installer stub, cross-built with mingw-w64).
BUILD ?= build
CACHE ?= $(abspath build/cache)
JOBS ?= $(shell nproc)
NATIVE_FLAGS ?=
CTEST_FLAGS ?= --output-on-failure

.PHONY: all bootstrap windows native test unit-test sanitize-test wine-test fuzz demo demo-build dist clean

all: windows native

bootstrap:
	bash scripts/bootstrap.sh

$(BUILD)/windows/build.ninja:
	cmake -S . -B $(BUILD)/windows -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake -DPALISADE_CACHE_DIR=$(CACHE)

# Debug information at level 1 (functions and line tables, enough for stack
# traces): full debug information took a quarter of every compile.
$(BUILD)/native/build.ninja:
	cmake -S . -B $(BUILD)/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
	  -DPALISADE_STUB=$(abspath $(BUILD))/windows/palisade-setup.exe $(NATIVE_FLAGS)

windows: $(BUILD)/windows/build.ninja
	cmake --build $(BUILD)/windows -j $(JOBS)

native: $(BUILD)/native/build.ninja
	cmake --build $(BUILD)/native -j $(JOBS)

unit-test: native
	cd $(BUILD)/native && ctest -L unit -j $(JOBS) $(CTEST_FLAGS)

# The unit tests once more with AddressSanitizer and UndefinedBehaviorSanitizer:
# the GoogleTest binary in one process (a process per test would spend minutes
# starting the sanitizers' runtime), then the script tests labelled unit.
$(BUILD)/sanitize/build.ninja:
	cmake -S . -B $(BUILD)/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1" -DPALISADE_SANITIZE=ON \
	  -DPALISADE_STUB=$(abspath $(BUILD))/windows/palisade-setup.exe

sanitize-test: $(BUILD)/sanitize/build.ninja
	cmake --build $(BUILD)/sanitize -j $(JOBS) --target unit_tests palisade
	cd $(BUILD)/sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ./unit_tests --gtest_brief=1
	cd $(BUILD)/sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest -L unit -E '^[A-Z]' -j $(JOBS) $(CTEST_FLAGS)

# Wine tests may open windows, so every one of them runs inside one X server.
wine-test: all
	cd $(BUILD)/native && xvfb-run -a -s "-screen 0 1280x1024x24" ctest -L "wine|gui" $(CTEST_FLAGS)

$(BUILD)/fuzz/build.ninja:
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(BUILD)/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPALISADE_FUZZ=ON -DPALISADE_FUZZ_SECONDS=$(FUZZ_SECONDS)

# Each fuzzer runs FUZZ_SECONDS (short enough for CI; `make fuzz FUZZ_SECONDS=600`
# for a real session), one per core.
FUZZ_SECONDS ?= 8
fuzz: $(BUILD)/fuzz/build.ninja
	cmake --build $(BUILD)/fuzz -j $(JOBS) --target fuzzers
	cd $(BUILD)/fuzz && PALISADE_FUZZ_SECONDS=$(FUZZ_SECONDS) ctest -L fuzz -j $(JOBS) $(CTEST_FLAGS)

test: all fuzz sanitize-test
	cd $(BUILD)/native && xvfb-run -a -s "-screen 0 1280x1024x24" ctest -j $(JOBS) $(CTEST_FLAGS)

# The demo runs the stub and the builder only: tests, the probe and the Wine
# fixtures are left to `make test`.
demo-build: $(BUILD)/windows/build.ninja $(BUILD)/native/build.ninja
	cmake --build $(BUILD)/windows -j $(JOBS) --target palisade-setup
	cmake --build $(BUILD)/native -j $(JOBS) --target palisade

demo: demo-build
	bash scripts/demo.sh

# A tarball of the installed builder (bin/palisade, share/palisade/...), in $(BUILD)/.
dist: demo-build
	bash scripts/make-dist.sh $(BUILD)/native $(BUILD)

clean:
	rm -rf $(BUILD)/native $(BUILD)/windows $(BUILD)/sanitize $(BUILD)/fuzz
