# Brinestoneharbour: set-up, build, play and test.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: deps build play test assets bench clean

deps:
	scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

play: build
	./$(BUILD)/brinestoneharbour

# Warnings are errors here; the suite runs headless (no display, no sound card)
# under AddressSanitizer and UndefinedBehaviorSanitizer.
test: deps
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DWERROR=ON -DSANITIZE=ON -DBUILD_BENCH=OFF
	cmake --build build-test -j$(JOBS)
	cd build-test && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ctest --output-on-failure -j$(JOBS)

assets: build
	./$(BUILD)/tools/assetgen/assetgen data

bench: build
	./$(BUILD)/bench/bsh_bench
	./$(BUILD)/bench/bsh_board_bench
	scripts/bench-bot $(BUILD)

clean:
	rm -rf $(BUILD) build-test
