# Zarpane: the two commands a newcomer needs are `make play` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_ARGS ?=
# The sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) and the fuzz build (clang).
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_RUNS ?=
FUZZ_JOBS ?= 1
FUZZ_TARGETS ?= stage ini bmp wav palette midi
SOAK_FRAMES ?= 1000000
SOAK_SEED ?= 1
# Tests left out of the sanitizer run, as a ctest regular expression (empty: none).
SANITIZE_EXCLUDE ?=
# Tests run in the sanitizer build without the leak check: the real-window tests start the SDL
# program, whose X11, D-Bus and sound libraries are loaded and unloaded at run time and leave
# blocks behind at exit that no stack can name. Memory errors are still checked there.
SANITIZE_NO_LEAKS ?= ^window\.
# The browser build (make web): emscripten's, beside the native build whose data it packs.
WEB_BUILD ?= build-web
EMSCRIPTEN_ENV = NODE_PATH=/usr/share/nodejs

.PHONY: all deps configure build dist play test test-sanitize test-fuzz fuzz soak bench clean
.PHONY: install package test-package web test-web web-test-tools

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

# In CI (CI set) the whole suite runs again in the sanitizer build, then the browser build's
# tests, and each fuzz target briefly.
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 900
	@if [ -n "$$CI" ]; then $(MAKE) --no-print-directory test-sanitize test-web test-fuzz; fi

# The page in $(WEB_BUILD)/dist (index.html, zarp.js, zarp.wasm, zarp.data) and the headless
# driver for node, $(WEB_BUILD)/bin/zarp-headless.js. The native build makes the data first.
web: build
	@scripts/install-deps web
	@$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=MinSizeRel \
		-DZARP_NATIVE_BUILD=$(abspath $(BUILD)) $(CMAKE_ARGS) >/dev/null
	@$(EMSCRIPTEN_ENV) cmake --build $(WEB_BUILD) -j $(JOBS)

# puppeteer-core from npm (it drives Debian's chromium; it downloads no browser), installed
# beside a copy of the script that uses it.
web-test-tools:
	@scripts/install-deps web
	@command -v npm >/dev/null || scripts/install-deps npm
	@mkdir -p $(WEB_BUILD)/npm
	@cp tests/web/package.json tests/web/package-lock.json tests/web/page.mjs $(WEB_BUILD)/npm/
	@cd $(WEB_BUILD)/npm && if ! cmp -s package-lock.json node_modules/.zarp-lock; then \
		npm ci --no-audit --no-fund --loglevel=error && cp package-lock.json node_modules/.zarp-lock; fi

# Every kept key script through both drivers, the size of the page, and the page in chromium.
test-web: web web-test-tools
	@tests/web/run $(BUILD) $(WEB_BUILD)

test-sanitize: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARP_SANITIZE=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j $(JOBS) --timeout 900 \
		$(if $(strip $(SANITIZE_EXCLUDE) $(SANITIZE_NO_LEAKS)),-E '$(subst $(eval) ,|,$(strip $(SANITIZE_EXCLUDE) $(SANITIZE_NO_LEAKS)))')
	$(if $(SANITIZE_NO_LEAKS),cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure \
		-j $(JOBS) --timeout 900 -R '$(SANITIZE_NO_LEAKS)' $(if $(SANITIZE_EXCLUDE),-E '$(SANITIZE_EXCLUDE)'))

# Each fuzz target for FUZZ_SECONDS, or FUZZ_RUNS executions when that is given, from its kept
# inputs and the built data files; FUZZ_JOBS targets at a time.
fuzz: fuzz-build
	@printf '%s\n' $(FUZZ_TARGETS) | xargs -P $(FUZZ_JOBS) -I{} fuzz/run-fuzz \
		$(if $(FUZZ_RUNS),--runs $(FUZZ_RUNS),--seconds $(FUZZ_SECONDS)) \
		--work $(FUZZ_BUILD)/fuzz/work $(FUZZ_BUILD)/bin/fuzz_{} fuzz/corpus/{} \
		$(FUZZ_BUILD)/fuzz/corpus-seed/{}

# Each fuzz target's kept inputs, then a few seconds of fuzzing (the fuzz build's tests).
test-fuzz: fuzz-build
	cd $(FUZZ_BUILD) && ctest --output-on-failure -j $(JOBS) -L fuzz --timeout 900

.PHONY: fuzz-build
fuzz-build: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DZARP_SANITIZE=ON -DZARP_FUZZ=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target zarp_fuzz

# SOAK_FRAMES frames of seeded random keys under the sanitizers, through every scene.
soak: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARP_SANITIZE=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target zarp_soak_inputs
	@scripts/soak --program $(ASAN_BUILD)/dist/zarp-headless --data $(ASAN_BUILD)/dist \
		--frames $(SOAK_FRAMES) --seed $(SOAK_SEED) --work $(ASAN_BUILD)/soak --every-scene

# Installs what `make build` built: PREFIX (default /usr/local), under DESTDIR when given.
# It does not build, so that `sudo make install` leaves the build folder to its owner.
PREFIX ?= /usr/local
install:
	@test -f $(BUILD)/cmake_install.cmake || { echo "make install: build first with make build" >&2; exit 1; }
	DESTDIR='$(DESTDIR)' cmake --install $(BUILD) --prefix '$(PREFIX)'

# The Debian package, $(BUILD)/zarpane_VERSION_ARCH.deb (install it with apt install ./FILE).
package: build
	cd $(BUILD) && cpack -G DEB

# The package checked as the distribution and a player would (lintian, the desktop entries, the
# metainfo, the manual pages, the unpacked tree played read-only). CI runs it after make test.
test-package: package
	scripts/check-package $$(ls -t $(BUILD)/zarpane_*.deb | head -n 1)

bench: build web web-test-tools
	@scripts/bench $(BUILD) $(WEB_BUILD)

clean:
	rm -rf $(BUILD)

.PHONY: assets-preview
assets-preview: build
	@cmake --build $(BUILD) --target zarp_picture_preview

# The 16 built-in stages painted by zrptool render and tiled into $(BUILD)/preview/stages.png.
.PHONY: stages-preview
stages-preview: build
	@scripts/install-deps imagemagick
	@cmake --build $(BUILD) --target stages_preview

# The README's legend of the block types, painted by the build from the game's own block sheet
# and the table of block types: copies the pictures into docs/blocks/ and prints the table to
# paste into README.md (tests/docs fails while they differ).
.PHONY: docs-legend
docs-legend: build
	@cp $(BUILD)/docs/blocks/block*.png docs/blocks/
	@cat $(BUILD)/docs/blocks/legend.md
