# Brinestoneharbour: set-up, build, play and test.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# make fuzz: seconds per fuzz target, and the targets (all when empty).
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=
# The few seconds per target that make test gives each.
TEST_FUZZ_SECONDS ?= 3

.PHONY: deps build play test coverage fuzz assets screenshots package bench soak check-levels check-curve clean

deps:
	scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

play: build
	./$(BUILD)/brinestoneharbour

# Warnings are errors here; the suite runs headless (no display, no sound card)
# under AddressSanitizer and UndefinedBehaviorSanitizer: each test in its own
# process under ctest, then each test program once more in one process with
# its tests shuffled, so that no test leans on running alone or in order.
test: deps
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DWERROR=ON -DSANITIZE=ON -DBUILD_BENCH=OFF
	cmake --build build-test -j$(JOBS)
	cd build-test && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ctest --output-on-failure -j$(JOBS)
	scripts/run-shuffled build-test
	$(MAKE) fuzz FUZZ_SECONDS=$(TEST_FUZZ_SECONDS) FUZZ_TARGETS=

# The suite under gcov: an HTML report of the lines of src/ it runs, in
# build-coverage/coverage/index.html, and the totals on the terminal.
coverage: deps
	cmake -S . -B build-coverage -DCMAKE_BUILD_TYPE=Debug -DCOVERAGE=ON -DBUILD_BENCH=OFF
	cmake --build build-coverage -j$(JOBS)
	find build-coverage -name '*.gcda' -delete
	cd build-coverage && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ctest -j$(JOBS) -E '^assetgen\.'
	mkdir -p build-coverage/coverage
	gcovr --root . --filter 'src/' --object-directory build-coverage --html-details build-coverage/coverage/index.html \
	      --print-summary --sort-percentage

# The readers of outside data under libFuzzer (clang), AddressSanitizer and
# UndefinedBehaviorSanitizer, one target after the other; see tests/fuzz.
fuzz: deps
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DBSH_FUZZ=ON
	cmake --build build-fuzz -j$(JOBS)
	scripts/fuzz build-fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

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

# Every quest level played by the bot at every difficulty, five seeds each;
# fails when a level misses its mark (tools/levels/README.md).
check-levels: build
	tools/levels/check-levels --jobs $(JOBS) --game $(BUILD)/brinestoneharbour

# The quest's difficulty curve at Normal: the share of the time limit each
# level needs, in map order; fails when a rule of the curve is broken
# (tools/levels/README.md).
check-curve: build
	tools/levels/check-levels --curve --jobs $(JOBS) --game $(BUILD)/brinestoneharbour

bench: build
	./$(BUILD)/bench/bsh_bench
	./$(BUILD)/bench/bsh_board_bench
	scripts/bench-bot $(BUILD)
	scripts/bench-replay $(BUILD)

# An hour of game time played by the bot under AddressSanitizer; not part of CI.
soak: deps
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DWERROR=ON -DSANITIZE=ON -DBUILD_BENCH=OFF
	cmake --build build-test -j$(JOBS) --target brinestoneharbour
	scripts/soak build-test

clean:
	rm -rf $(BUILD) build-test build-fuzz build-coverage
