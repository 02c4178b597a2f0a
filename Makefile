# VEXA: the two commands for a fresh machine are `make demo` and `make test`.
# Each installs what is missing (scripts/install-deps), configures and builds.

BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build test demo asan tsan bench fuzz clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# For now the demonstration converts the demo drive's start between the grids.
demo: build
	$(BUILD)/tools/vexa-geo 9.7320 52.3759

asan: deps
	cmake -S . -B build-asan -G Ninja -DVEXA_SANITIZE=address -DVEXA_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
	cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

tsan: deps
	cmake -S . -B build-tsan -G Ninja -DVEXA_SANITIZE=thread -DVEXA_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
	cmake --build build-tsan -j $(JOBS)
	cd build-tsan && QT_QPA_PLATFORM=offscreen TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
	cmake --build build-release -j $(JOBS)
	@for b in build-release/bench/bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf $(BUILD) build-asan build-tsan build-release

# The demo maps in data/demo/maps/Karten_utm/, drawn by tools/mapgen from the committed place
# table and GSHHG dumps (tools/mapgen/dump-vectors.sh refreshes the dumps; it needs GMT).
.PHONY: demo-maps
demo-maps: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) --target mapgen -j $(JOBS)
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/mapgen/mapgen . data/demo/maps/Karten_utm

# The demo NMEA log: half an hour through Hannover from data/demo/demo-drive.txt, with a
# 20-second tunnel and a few sentences whose checksum is wrong.
.PHONY: demo-log
demo-log: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) --target vexa-gpssim -j $(JOBS)
	$(BUILD)/tools/vexa-gpssim --route-file data/demo/demo-drive.txt --no-fix 480-500 \
	  --bad-checksum 2500 --output data/demo/NmeaLog_20260601_1000.txt
