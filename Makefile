# The two commands: `make run` and `make test`. Both install what is missing,
# configure and build first.
PRESET ?= default
BUILD_DIR = $(if $(filter asan,$(PRESET)),build-asan,build)

.PHONY: all deps configure build run test bench perf clean
.PHONY: dist fuzz package web

all: build

deps:
	./scripts/install-deps

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

run: build
	$(BUILD_DIR)/app/solitons

test: build web
	ctest --preset $(PRESET)

# Time to draw one frame, then what the curves cost against their heights
# alone (exits non-zero when that factor misses its target).
bench: build
	$(BUILD_DIR)/bench/frame_bench
	$(BUILD_DIR)/bench/curve_bench

# CPU against the floor program beside it, frame rate, speed of t, start-up
# time and memory of the real program, measured from outside on a private Xvfb
# (and memory on a headless weston), and the page's CPU in headless Chromium against
# the least page; prints a table of targets.
perf: build web
	./bench/perf.sh $(BUILD_DIR)

# Each fuzz target for FUZZ_SECONDS, after replaying fuzz/regressions/.
FUZZ_SECONDS ?= 60
fuzz: deps
	./fuzz/run $(FUZZ_SECONDS)

# The release tarball of the working tree, build/solitons-VERSION.tar.xz:
# the same bytes for the same tree, and the Debian package's orig tarball.
dist:
	scripts/dist

# The Debian package of the working tree, for this machine's release:
# dpkg-buildpackage builds solitons and solitons-dbgsym from a copy of the
# tree in build/deb, and leaves them there (packaging/debian-source).
package: deps
	rm -rf build/deb
	packaging/debian-source build/deb/solitons
	cd build/deb/solitons && dpkg-buildpackage --build=binary --no-sign

# The web page, one file: build/web/solitons.html. Its own CMake project,
# web/, cross-compiled for WebAssembly with the preset there.
web: deps
	cd web && cmake --preset web && cmake --build --preset web

clean:
	rm -rf build build-asan
	rm -rf build-fuzz
