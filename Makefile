# make run   builds Corvane and runs the cube demo: in the GS window until
#            Escape, or without a display for 300 frames, leaving the last
#            picture in build/Screens/
# make test  builds everything and runs the whole test suite
# make fuzz  runs every fuzz target for FUZZ_SECONDS (default 60) each

BUILD_DIR ?= build
JOBS ?= 2
FUZZ_SECONDS ?= 60

.PHONY: all deps build run test fuzz bench clean

all: build

deps:
	@scripts/install-deps

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS)

DEMO_FRAMES ?= 300

ifneq ($(DISPLAY)$(WAYLAND_DISPLAY),)
RUN_LIMITS :=
else
RUN_LIMITS := --max-vblanks $(DEMO_FRAMES) --snapshot-at-end
endif

run: build
	cd $(BUILD_DIR) && ./runner/corvane-run $(RUN_LIMITS) guest-programs/cube.elf

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

fuzz: build
	fuzz/run-fuzz $(BUILD_DIR) $(FUZZ_SECONDS)

bench: build
	$(BUILD_DIR)/bench/corvane-bench
	$(BUILD_DIR)/bench/gs-bench

clean:
	rm -rf $(BUILD_DIR)
