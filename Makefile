# VEXA: the two commands for a fresh machine are `make demo` and `make test`.
# Each installs what is missing (scripts/install-deps), configures and builds.

BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build test test-share demo shots install deb deb-check asan tsan bench clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The tests' share of the code, in non-blank lines.
test-share:
	@scripts/test-share

# VEXA on the demo maps, replaying the demo drive in the Move view. Without a display it
# plays the replay to its end and writes pictures of the four views instead.
DEMO_ARGS = --maps data/demo/maps/Karten_utm --replay data/demo/NmeaLog_20260601_1000.txt
demo: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD)/app/vexa $(DEMO_ARGS); \
	else \
	  $(BUILD)/app/vexa $(DEMO_ARGS) --snapshot $(BUILD)/demo-snapshot >/dev/null && \
	  echo "Keine Anzeige: Bilder der vier Ansichten in $(BUILD)/demo-snapshot/"; \
	fi

# The pictures of docs/ drawn again from the demo data, on the demo drive's day
# (scripts/docs-shots); `git diff --stat docs/` then shows which ones the drawing changed.
shots: build
	@scripts/docs-shots $(BUILD) docs

# Installs the programs, their data, desktop entry and icons (PREFIX=/usr/local unless given).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package from the build folder: $(BUILD)/vexa_VERSION_ARCH.deb (packaging/README.md).
deb: build
	rm -f $(BUILD)/vexa_*.deb
	cd $(BUILD) && cpack -G DEB
# The package checked: lintian without errors, then unpacked into a fresh root and run there.
deb-check: deb
	@scripts/install-deps package
	lintian --fail-on error $(BUILD)/vexa_*.deb
	packaging/test-package $(BUILD)/vexa_*.deb

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
	@out=build-release/bench-results; rm -rf $$out; mkdir -p $$out; \
	  for b in build-release/bench/bench_*; do echo "== $$b"; \
	    $$b --benchmark_out=$$out/$${b##*/}.txt --benchmark_out_format=console || echo "$${b##*/}" >> $$out/failed; done; \
	  echo "== bench/demo_peak_rss.sh"; bench/demo_peak_rss.sh build-release/app/vexa || echo demo_peak_rss >> $$out/failed; \
	  echo "== bench/demo_screens.sh"; { bench/demo_screens.sh build-release/app/vexa || echo demo_screens >> $$out/failed; } | tee $$out/demo_screens.txt; \
	  echo "== bench/goal_check.sh"; cat $$out/*.txt | bench/goal_check.sh; \
	  if [ -f $$out/failed ]; then echo "failed:" $$(cat $$out/failed); exit 1; fi

clean:
	rm -rf $(BUILD) build-asan build-tsan build-release build-fuzz

# The demo maps in data/demo/maps/Karten_utm/, drawn by tools/mapgen from the committed place
# table and GSHHG dumps (tools/mapgen/dump-vectors.sh refreshes the dumps; it needs GMT).
.PHONY: demo-maps
demo-maps: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) --target mapgen -j $(JOBS)
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/mapgen/mapgen . data/demo/maps/Karten_utm

# The import on the demo data: the detailed demo maps around Hannover as one GeoTIFF on WGS84
# (by way of `vexa-maps vrt` and gdalwarp), imported into a Gauss-Krüger folder in build/,
# then shown as `make demo` shows the demo maps. Needs gdal-bin.
DEMO_IMPORT = $(BUILD)/demo-import
.PHONY: demo-import
demo-import: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) --target vexa-maps vexa -j $(JOBS)
	rm -rf $(DEMO_IMPORT) && mkdir -p $(DEMO_IMPORT)
	$(BUILD)/tools/vexa-maps vrt data/demo/maps/Karten_utm $(DEMO_IMPORT)/demo.vrt
	gdalwarp -q -t_srs EPSG:4326 -te 530000 5790000 580000 5840000 -te_srs EPSG:32632 -tr 0.00015 0.0001 \
	  -r bilinear -dstalpha -co TILED=YES $(DEMO_IMPORT)/demo.vrt $(DEMO_IMPORT)/demo-wgs84.tif
	$(BUILD)/tools/vexa-maps import $(DEMO_IMPORT)/demo-wgs84.tif $(DEMO_IMPORT)/Karten_gk
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD)/app/vexa --maps $(DEMO_IMPORT)/Karten_gk --replay data/demo/NmeaLog_20260601_1000.txt; \
	else \
	  $(BUILD)/app/vexa --maps $(DEMO_IMPORT)/Karten_gk --replay data/demo/NmeaLog_20260601_1000.txt \
	    --snapshot $(DEMO_IMPORT)/snapshot >/dev/null && \
	  echo "Keine Anzeige: Bilder der vier Ansichten in $(DEMO_IMPORT)/snapshot/"; \
	fi

# The demo NMEA log: half an hour through Hannover from data/demo/demo-drive.txt, with a
# 20-second tunnel and a few sentences whose checksum is wrong.
.PHONY: demo-log
demo-log: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) --target vexa-gpssim -j $(JOBS)
	$(BUILD)/tools/vexa-gpssim --route-file data/demo/demo-drive.txt --no-fix 480-500 \
	  --bad-checksum 2500 --output data/demo/NmeaLog_20260601_1000.txt

# libFuzzer over every target registered with vexa_add_fuzzer (tests/CMakeLists.txt), one
# after the other, FUZZ_SECONDS each; FUZZERS="fuzz_nmea ..." picks some. The code under test
# is instrumented too (coverage, AddressSanitizer, UBSan). New inputs go to
# build-fuzz/corpus/NAME; a crash leaves build-fuzz/crash-* (add it to the target's corpus
# folder once fixed: the corpus runs as a test in every build).
FUZZ_SECONDS ?= 60
FUZZERS ?=
.PHONY: fuzz
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DVEXA_BUILD_FUZZ=ON -DVEXA_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-fuzz --target fuzzers -j $(JOBS)
	@while read name binary corpus; do \
	  case " $(FUZZERS) " in "  "|*" $$name "*) ;; *) continue ;; esac; \
	  echo "== $$name ($(FUZZ_SECONDS) s)"; mkdir -p build-fuzz/corpus/$$name; \
	  $$binary -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=build-fuzz/ \
	    build-fuzz/corpus/$$name $$corpus < /dev/null || exit 1; \
	done < build-fuzz/fuzzers.txt
