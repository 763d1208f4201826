# Entry points for people and CI. Every target installs what is missing first.
BUILD      ?= build
BUILD_ASAN ?= build-asan
JOBS       ?= $(shell nproc)

.PHONY: all deps build run test test-asan bench fuzz fuzz-pgn perft-slow package package-check format format-check clean

all: build

deps:
	@tools/install-deps.sh

$(BUILD)/build.ninja: | deps
	@cmake --preset default >/dev/null

build: deps $(BUILD)/build.ninja
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/bodlany-sachy

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE slow

$(BUILD_ASAN)/build.ninja: | deps
	@cmake --preset asan >/dev/null

test-asan: deps $(BUILD_ASAN)/build.ninja
	@cmake --build $(BUILD_ASAN) -j $(JOBS)
	@cd $(BUILD_ASAN) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE slow

# Deep perft counts that take minutes; not part of the default run.
perft-slow: build
	@cd $(BUILD) && ctest --output-on-failure -L slow

bench: deps
	@cmake --preset release >/dev/null && cmake --build build-release -j $(JOBS)
	@QT_QPA_PLATFORM=offscreen build-release/bench/bench_rules
	@build-release/bench/bench_record
	@QT_QPA_PLATFORM=offscreen build-release/bench/bench_view
	@build-release/bench/bench_files
	@QT_QPA_PLATFORM=offscreen build-release/bench/bench_record_window
	@QT_QPA_PLATFORM=offscreen build-release/bench/bench_access

fuzz: deps
	@cmake --preset fuzz >/dev/null && cmake --build build-fuzz -j $(JOBS) --target fuzz_profile
	@mkdir -p build-fuzz/corpus && build-fuzz/fuzz/fuzz_profile -artifact_prefix=build-fuzz/ -max_total_time=$${FUZZ_SECONDS:-60} build-fuzz/corpus fuzz/seeds

fuzz-pgn: deps
	@cmake --preset fuzz >/dev/null && cmake --build build-fuzz -j $(JOBS) --target fuzz_pgn
	@mkdir -p build-fuzz/corpus-pgn && build-fuzz/fuzz/fuzz_pgn -artifact_prefix=build-fuzz/ -max_len=4096 -max_total_time=$${FUZZ_SECONDS:-60} build-fuzz/corpus-pgn fuzz/seeds-pgn

# A Debian package of the program: build/bodlany-sachy_VERSION_ARCH.deb
package: build
	@cd $(BUILD) && cpack -G DEB

# The package as Debian judges it: lintian without error or warning, and
# valid desktop entry and software-centre metadata.
package-check: package
	@tools/check-package.sh "$$(ls -t $(BUILD)/bodlany-sachy_*.deb | head -n1)"

# The sources as .clang-format describes them (clang-format 14, Debian 12's).
FORMAT_FILES = git ls-files -- '*.cpp' '*.h' '*.c'

format: deps
	@$(FORMAT_FILES) | xargs -r clang-format -i

# Fails, naming the places, when a source is not formatted.
format-check: deps
	@$(FORMAT_FILES) | xargs -r clang-format --dry-run -Werror

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) build-release build-fuzz
