# Brinestoneharbour: set-up, build, play and test.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: deps build play test assets screenshots package bench clean

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
	./$(BUILD)/tools/assetgen/assetgen --icons packaging/icons

# The metainfo's screenshots, taken by the game itself, headless.
screenshots: build
	packaging/take-screenshots $(BUILD) packaging/screenshots

# A Debian package of the installed tree in $(BUILD), e.g.
# build/brinestoneharbour_1.91_amd64.deb; install it with apt install ./FILE.
package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	./$(BUILD)/bench/bsh_bench
	./$(BUILD)/bench/bsh_board_bench
	scripts/bench-bot $(BUILD)

# An hour of game time played by the bot under AddressSanitizer; not part of CI.
soak: deps
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DWERROR=ON -DSANITIZE=ON -DBUILD_BENCH=OFF
	cmake --build build-test -j$(JOBS) --target brinestoneharbour
	scripts/soak build-test

clean:
	rm -rf $(BUILD) build-test
