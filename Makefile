# make run   builds Corvane and runs the cube demo headlessly for 300 frames
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

run: build
	cd $(BUILD_DIR) && ./runner/corvane-run --gs gs-soft.so --max-vblanks $(DEMO_FRAMES) guest-programs/cube.elf

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

fuzz: build
	fuzz/run-fuzz $(BUILD_DIR) $(FUZZ_SECONDS)

bench: build
	$(BUILD_DIR)/bench/corvane-bench
	$(BUILD_DIR)/bench/gs-bench

clean:
	rm -rf $(BUILD_DIR)
