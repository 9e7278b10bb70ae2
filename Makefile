# The two commands: `make run` and `make test`. Both install what is missing first.
# CI also runs `make soak` (an hour of game time under the sanitizers),
# `make valgrind` (memcheck over scripted play of the real binary),
# `make deb-check` (the Debian package built, linted, installed, started, purged),
# `make crosscheck` (the replay checker on other compilers and processors, alike) and
# `make web-test` (the browser version played in Chromium, headless).
BUILD_TYPE ?= RelWithDebInfo
WERROR := $(if $(CI),ON,OFF)
CMAKE_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DVANTOREL_WERROR=$(WERROR)
XVFB := xvfb-run -a -s "-screen 0 1280x1024x24 -noreset"
TEST_ENV := SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
JOBS ?= 2

.PHONY: run test soak valgrind pacing configure build build-asan deps deps-test deps-deb assets \
	screenshots winning-replay replay-corpus deb deb-check crosscheck deps-cross clean web web-run \
	web-test web-bench web-dist deps-web

# Builds only the game itself: the tests and benchmarks wait for make test.
run: deps configure
	cmake --build build -j$(JOBS) --target vantorel
	./build/vantorel $(ARGS)

test: deps-test build build-asan
	$(TEST_ENV) $(XVFB) ctest --test-dir build --output-on-failure -j$(JOBS) -LE screenshots
	$(TEST_ENV) $(SANITIZER_ENV) $(XVFB) ctest --test-dir build-asan --output-on-failure -j$(JOBS) -L unit

# Leak checking stays off here: Mesa's driver is unloaded before LeakSanitizer
# looks, so its leaks cannot be told from ours; make valgrind checks for leaks.
soak: deps-test
	cmake -S . -B build-asan $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DVANTOREL_SANITIZE=ON -DVANTOREL_SOAK=ON
	cmake --build build-asan -j$(JOBS) --target vantorel_soak
	$(TEST_ENV) $(SANITIZER_ENV) $(XVFB) ctest --test-dir build-asan --output-on-failure -L soak -V

valgrind: deps-test build
	$(TEST_ENV) $(XVFB) tools/valgrind-play.sh build/vantorel

# CPU time and frames per second of the real game on the title and in play,
# measured, not tested; PACING_ARGS go to the game (e.g. --max-fps 0).
pacing: deps-test configure
	cmake --build build -j$(JOBS) --target vantorel vantorel_swap_counter
	$(TEST_ENV) $(XVFB) bench/pacing.py build/vantorel build/bench/libvantorel_swap_counter.so $(PACING_ARGS)

deps:
	tools/install-deps.sh build

deps-test:
	tools/install-deps.sh test

deps-deb:
	tools/install-deps.sh deb

deps-cross:
	tools/install-deps.sh cross

configure:
	cmake -S . -B build $(CMAKE_FLAGS)

build: configure
	cmake --build build -j$(JOBS)

build-asan:
	cmake -S . -B build-asan $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DVANTOREL_SANITIZE=ON
	cmake --build build-asan -j$(JOBS) --target vantorel_tests vantorel_rules_tests vantorel_readers_tests \
		vantorel-check-replay

assets:
	tools/install-deps.sh assets
	tools/make-assets.sh

# Remakes the winning game the whole-program tests replay (needed when the version changes).
winning-replay: deps-test configure
	cmake --build build -j$(JOBS) --target vantorel_winning_replay
	$(TEST_ENV) $(XVFB) build/tests/vantorel_winning_replay tests/data/won_game.replay

# Makes the corpus of recordings on the real game again with the mouse (needed when the
# version or the rules change), and writes the lines the checker must give for them.
replay-corpus: deps-test build
	cmake --build build -j$(JOBS) --target vantorel_corpus_recordings
	$(TEST_ENV) $(XVFB) build/tests/vantorel_corpus_recordings
	cp build/corpus/*.replay tests/data/replays/
	cd tests/data/replays && $(CURDIR)/build/vantorel-check-replay *.replay >expected.txt

# Plays a real game for the README's screenshots and puts them beside it.
screenshots: deps-test build
	$(TEST_ENV) $(XVFB) ctest --test-dir build --output-on-failure -L screenshots
	mkdir -p docs/screenshots
	cp build/screenshots/title.png build/screenshots/play.png build/screenshots/lose.png docs/screenshots/

# The package and dpkg-buildpackage's other results land in build/deb/.
deb: deps-deb
	JOBS=$(JOBS) tools/build-deb.sh

# Installs the package on this machine for the check, and purges it again.
deb-check: deps-test deps-deb deb build
	$(TEST_ENV) $(XVFB) tests/packaging/check_package.sh build

# The replay checker built with g++ and clang++, unoptimised and optimised, for
# x86-64 and x86-64-v3, arm64, s390x and WebAssembly: every build must check the
# corpus of recordings, and the files in REPLAYS="a b", to the very same lines.
crosscheck: deps-cross
	JOBS=$(JOBS) VANTOREL_WERROR=$(WERROR) tools/crosscheck.sh build/cross

# The browser version: WebAssembly through Debian's emscripten, built with no
# network at all (a network namespace of its own), into build-web/.
WEB_PORT ?= 8000
WEB_BENCH_RUNS ?= 7
OFFLINE := unshare --map-root-user --net

web: deps-web
	JOBS=$(JOBS) $(OFFLINE) tools/web/build-web.sh build-web

# Serves build-web/ on 127.0.0.1 and prints the address; Ctrl+C stops it.
web-run: web
	node tools/web/serve.mjs build-web $(WEB_PORT)

# One .zip of the page's static files for any static host, in build-web/.
web-dist: web
	tools/web/make-dist.sh build-web

# Drives the page in Debian's Chromium, headless; the browser is never downloaded.
# The desktop's game and checker play the page's recordings, and its zip is hosted.
web-test: deps-test configure web-dist
	cmake --build build -j$(JOBS) --target vantorel vantorel-check-replay
	tools/web/run-tests.sh

# Measures the page against a bare page of ours in the same Chromium (not a test).
web-bench: web
	tools/web/run-tests.sh bench/web/measure.mjs $(WEB_BENCH_RUNS)

deps-web:
	tools/install-deps.sh web

clean:
	rm -rf build build-asan build-fuzz build-web
