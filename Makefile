# Front door of the project: every target installs what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TIMEOUT ?= 10
JOBS       ?= $(shell nproc)
XVFB       := xvfb-run -a -s "-screen 0 1920x1080x24"
# Tests that open a real window with an OpenGL context.
OPENGL_TESTS := ^(GlRenderTest|SdlWindowTest|SdlGamepadTest|SimRunnerTest\.RealWindow|RecordingTest\.|GameProcessTest\.|InstallTest\.|EveryScreen/ScreenPicturesTest\.)

.PHONY: deps build run test bench bench-peers asan fuzz assets format install deb clean

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# Starts the game; without a display it runs under a virtual X server.
run: build
	@if [ -n "$$DISPLAY" ]; then ./$(BUILD)/velmaris; else $(XVFB) ./$(BUILD)/velmaris; fi

# Every test, the window and OpenGL ones under a virtual X server.
test: build
	@cd $(BUILD) && $(XVFB) ctest --output-on-failure -j $(JOBS)

bench: build
	@$(XVFB) ./$(BUILD)/velmaris_bench

# The same scenes in Velmaris and in LÖVE, side by side (see README, "Compared with
# LÖVE"); writes bench/peers/results.json.
bench-peers: build
	@scripts/install-deps --peers
	@$(XVFB) /usr/bin/python3 bench/peers/run.py --sim ./$(BUILD)/velmaris-sim

asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVELMARIS_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	  $(XVFB) ctest --output-on-failure -j $(JOBS) -E '$(OPENGL_TESTS)'
	@# Mesa's software OpenGL keeps a few allocations past exit that no stack trace
	@# can name, so the tests that open a real window run without the leak check.
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=0 \
	  $(XVFB) ctest --output-on-failure -j $(JOBS) -R '$(OPENGL_TESTS)'

# Builds the libFuzzer programs with clang and runs each for FUZZ_SECONDS; fails when
# one finds a crash, or an input that runs longer than FUZZ_TIMEOUT seconds (see
# fuzz/README.md).
fuzz:
	@scripts/install-deps --fuzz
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 \
	  -DCMAKE_CXX_COMPILER=clang++-14 -DVELMARIS_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	@FUZZ_TIMEOUT=$(FUZZ_TIMEOUT) fuzz/run $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Regenerates every image and sound under data/ (needs the generator's packages).
assets:
	@scripts/install-deps --assets
	@mkdir -p $(BUILD)
	@/usr/bin/python3 tools/assets/generate.py

# Lays out every C++ file of the tree as .clang-format says.
format:
	@scripts/install-deps --format
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Installs the game under PREFIX (see README, "Install").
PREFIX ?= /usr/local
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# Builds the Debian package build/velmaris_<version>_<arch>.deb and checks it and its
# desktop entry and metainfo with lintian, desktop-file-validate and appstreamcli.
deb: build
	@scripts/install-deps --package
	@cd $(BUILD) && cpack -G DEB
	@packaging/check-deb $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
