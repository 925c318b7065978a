# Front door: every target installs what it needs, configures with CMake and builds with Ninja.
#   make run       build and start the program (the first run makes a demo library)
#   make test      build and run every test through CTest
#   make sanitize  the same under address and undefined-behaviour sanitizers
#   make fuzz      each libFuzzer target for FUZZ_SECONDS (clang)
#   make bench     build (as the program ships, -O2) and run the benchmarks
#   make package   build the Debian package build/vantor-see_*.deb (CPack)

BUILD       ?= build
BUILD_TYPE  ?= RelWithDebInfo
FUZZ_SECONDS ?= 60
JOBS        ?= $(shell nproc)
CMAKE_FLAGS ?=

export QT_QPA_PLATFORM ?= offscreen

.PHONY: all deps build run test package sanitize fuzz bench clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# The window needs the real display even though the tests default to the offscreen one.
RUN_ENV := $(if $(filter file,$(origin QT_QPA_PLATFORM)),env -u QT_QPA_PLATFORM,)
PHOTO_FOLDER := $(BUILD)/bin/Photo Folder

run: build
	@[ -n "$$(ls -A "$(PHOTO_FOLDER)" 2>/dev/null)" ] || { echo "Filling $(PHOTO_FOLDER) with the demo library"; \
	  $(BUILD)/bin/vantorsee-tool samples "$(PHOTO_FOLDER)" >/dev/null; }
	$(RUN_ENV) $(BUILD)/bin/vantorsee

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

package: build
	cd $(BUILD) && cpack -G DEB

sanitize: deps
	cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVS_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-sanitize -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir build-sanitize --output-on-failure -j $(JOBS)

fuzz: deps
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVS_FUZZ=ON -DVS_SANITIZE=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ $(CMAKE_FLAGS)
	cmake --build build-fuzz -j $(JOBS) --target fuzzers
	@set -e; for f in build-fuzz/bin/fuzz_*; do \
	  name=$$(basename $$f); corpus=fuzz/corpus/$${name#fuzz_}; \
	  work=build-fuzz/corpus/$${name#fuzz_}; mkdir -p $$work; \
	  echo "== $$name for $(FUZZ_SECONDS) s"; \
	  $$f -artifact_prefix=build-fuzz/ -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=3072 -print_final_stats=1 $$work $$corpus; \
	done

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVS_BENCH=ON $(CMAKE_FLAGS)
	cmake --build build-bench -j $(JOBS) --target benchmarks
	@for b in build-bench/bin/bench_*; do $$b; done

clean:
	rm -rf build build-sanitize build-fuzz build-bench
