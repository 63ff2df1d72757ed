# Zarpane: the two commands a newcomer needs are `make play` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_ARGS ?=

.PHONY: all deps configure build dist play test bench clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

dist: build

play: build
	cd $(BUILD)/dist && ./zarp w

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 900

bench: build
	@scripts/bench $(BUILD)

clean:
	rm -rf $(BUILD)

.PHONY: assets-preview
assets-preview: build
	@cmake --build $(BUILD) --target zarp_picture_preview
