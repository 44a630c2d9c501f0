# Brennick: `make run` builds and starts the designer (only what it runs),
# `make test` builds and runs every test. Both install missing Debian
# packages first. `make package` builds the Debian package of everything
# `cmake --install` installs.
# `make test-sanitize` runs every test built with AddressSanitizer and
# UndefinedBehaviorSanitizer, `make fuzz` runs the fuzz targets for a bounded
# time, `make bench` runs the benchmarks, `make lint` checks that every source
# of the toolkit-free layers includes what it uses; `make test-soft` runs every
# test built with the software extended type in place of the x87's long double
# (-DBRENNICK_SOFT_EXT=ON); each has its own build directory.
# `make wasm` builds brennick-cli for node with emscripten (build-wasm:
# brennick-cli.js and brennick-cli.wasm), `make test-wasm` runs the engine,
# form and formats unit tests under node, `make bench-wasm` times the
# WebAssembly build and reports its sizes.
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR ?= build-fuzz
BENCH_DIR ?= build-bench
LINT_DIR ?= build-lint
SOFT_DIR ?= build-soft
WASM_DIR ?= build-wasm
FUZZ_SECONDS ?= 15
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

# Sanitizer settings for the build (test discovery runs the test programs)
# and for the tests themselves.
SANITIZER_ENV = \
  ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan-suppressions.txt:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: all deps configure build run test package test-sanitize test-soft fuzz bench lint wasm test-wasm \
  bench-wasm clean format format-check

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# The window, or without a display the command-line designer it suggests:
# scripts/run.sh builds the one it runs and nothing else.
run: configure
	@./scripts/run.sh $(BUILD_DIR) $(JOBS)

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

package: build
	@cd $(BUILD_DIR) && cpack -G DEB

test-sanitize: deps
	@cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRENNICK_SANITIZE=ON \
	  $(CMAKE_FLAGS) >/dev/null
	@$(SANITIZER_ENV) cmake --build $(SANITIZE_DIR) -j $(JOBS)
	@cd $(SANITIZE_DIR) && $(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen \
	  ctest --output-on-failure -j $(JOBS)

test-soft: deps
	@cmake -S . -B $(SOFT_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRENNICK_SOFT_EXT=ON \
	  $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(SOFT_DIR) -j $(JOBS)
	@cd $(SOFT_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

fuzz: deps
	@cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRENNICK_FUZZ=ON \
	  -DBRENNICK_GUI=OFF -DBRENNICK_TESTS=OFF -DCMAKE_CXX_COMPILER=clang++ $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS)
	@./scripts/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

bench: deps
	@cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRENNICK_BENCH=ON -DBRENNICK_GUI=ON \
	  -DBRENNICK_TESTS=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BENCH_DIR) -j $(JOBS)
	@./scripts/bench.sh $(BENCH_DIR)

# include-what-you-use over the toolkit-free layers, their tests, benchmarks
# and fuzz targets; lists each include a file should add or remove. Only
# configures (clang, for the compile commands iwyu reads): nothing is built.
lint: deps
	@cmake -S . -B $(LINT_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DBRENNICK_GUI=OFF -DBRENNICK_TESTS=ON \
	  -DBRENNICK_BENCH=ON -DBRENNICK_FUZZ=ON $(CMAKE_FLAGS) >/dev/null
	@python3 scripts/check-includes.py $(LINT_DIR) $(JOBS)

wasm: deps
	@./scripts/wasm.sh $(WASM_DIR) $(JOBS) $(CMAKE_FLAGS)

test-wasm: wasm
	@cd $(WASM_DIR) && ctest --output-on-failure -j $(JOBS)

# Needs the native benchmarks' input writer: builds it in $(BENCH_DIR).
bench-wasm: wasm
	@cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRENNICK_BENCH=ON -DBRENNICK_GUI=ON \
	  -DBRENNICK_TESTS=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BENCH_DIR) -j $(JOBS) --target bench_make_cli_input
	@./scripts/bench-wasm.sh $(WASM_DIR) $(BENCH_DIR)

clean:
	rm -rf $(BUILD_DIR)

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

# Fails, listing the files, when any source is not clang-formatted.
format-check:
	@clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

# `make web` builds the web page with emscripten into $(WEB_DIR)/site, a
# static site any web server serves as it is; `make test-web` runs the page
# in headless Chromium against the native form model and brennick-cli
# (tests/web/run.mjs; WEB_SESSIONS random sessions, 100 by default).
WEB_DIR ?= build-web
WEB_SESSIONS ?= 100

.PHONY: web test-web bench-web

web: deps
	@./scripts/web.sh $(WEB_DIR) $(JOBS) $(CMAKE_FLAGS)

web/node_modules/.package-lock.json: web/package.json web/package-lock.json
	@cd web && npm ci --no-audit --no-fund --loglevel=error

test-web: web web/node_modules/.package-lock.json
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target web_session_replay brennick-cli
	@node tests/web/run.mjs $(WEB_DIR)/site $(BUILD_DIR) $(WEB_SESSIONS)

bench-web: web web/node_modules/.package-lock.json
	@./scripts/bench-web.sh $(WEB_DIR)/site
