# make run   builds Corvane and runs the cube demo: in the GS window until
#            Escape, or without a display for 300 frames, leaving the last
#            picture in build/Screens/
# make test  builds everything and runs the whole test suite
# make fuzz  runs every fuzz target for FUZZ_SECONDS (default 60) each
# make test-sanitize  builds everything with AddressSanitizer and
#            UndefinedBehaviorSanitizer in build-sanitize/ (the "sanitize"
#            preset) and runs the whole test suite there
#
# CMAKE_OPTIONS are passed to the configure step of a new build folder, e.g.
# CMAKE_OPTIONS=-DCORVANE_WERROR=ON (what CI uses), or
# "-DCORVANE_BUILD_TESTS=OFF -DCORVANE_GUEST_PROGRAMS=OFF" to build only the
# programs and plugins, with no GoogleTest and no cross compiler.

BUILD_DIR ?= build
JOBS ?= 2
FUZZ_SECONDS ?= 60
CMAKE_OPTIONS ?=
SANITIZE_DIR := build-sanitize

.PHONY: all deps build run test test-sanitize fuzz bench clean

all: build

deps:
	@scripts/install-deps

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_OPTIONS)

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS)

DEMO_FRAMES ?= 300

ifneq ($(DISPLAY)$(WAYLAND_DISPLAY),)
RUN_LIMITS :=
else
RUN_LIMITS := --max-vblanks $(DEMO_FRAMES) --snapshot-at-end
endif

DEMO := guest-programs/cube.elf

run: build
	@test -f $(BUILD_DIR)/$(DEMO) || { echo "make run: no cube demo in $(BUILD_DIR): it is a guest program, built only with CORVANE_GUEST_PROGRAMS=ON (the default) and the mipsel cross compiler" >&2; exit 1; }
	cd $(BUILD_DIR) && ./runner/corvane-run $(RUN_LIMITS) $(DEMO)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake --preset sanitize $(CMAKE_OPTIONS)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	ctest --preset sanitize -j $(JOBS)

fuzz: build
	fuzz/run-fuzz $(BUILD_DIR) $(FUZZ_SECONDS)

bench: build
	$(BUILD_DIR)/bench/corvane-bench
	$(BUILD_DIR)/bench/gs-bench

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR)
