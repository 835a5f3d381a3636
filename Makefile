# Two commands for people: `make run` and `make test`. Everything else is
# for developers: `make bench` runs the benchmarks, `make fuzz` builds the
# fuzzing harnesses with clang.

BUILD      := build
ASAN_BUILD := build-asan
FUZZ_BUILD := build-fuzz
CMAKE_ARGS := -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

# Sanitizer runs fail on the first report of any kind.
export ASAN_OPTIONS  := detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS := halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS  := suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0

.PHONY: all deps build run test test-release test-sanitized bench fuzz clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_ARGS)
	cmake --build $(BUILD)

run: build
	$(BUILD)/app/vellumor

test: test-release test-sanitized

test-release: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

test-sanitized: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELLUMOR_SANITIZE=ON
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

bench: build
	cmake --build $(BUILD) --target benchmarks
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b || exit 1; done

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUMOR_FUZZ=ON
	cmake --build $(FUZZ_BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
