# The two commands: `make run` and `make test`. Both install what is missing,
# configure and build first.
PRESET ?= default
BUILD_DIR = $(if $(filter asan,$(PRESET)),build-asan,build)

.PHONY: all deps configure build run test bench clean

all: build

deps:
	./scripts/install-deps

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

run: build
	$(BUILD_DIR)/app/solitons

test: build
	ctest --preset $(PRESET)

bench: build
	$(BUILD_DIR)/bench/frame_bench

clean:
	rm -rf build build-asan
