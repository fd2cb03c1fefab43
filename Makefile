# Front end for the CMake build. 'make run' and 'make test' install what is
# missing (Debian packages), configure, build and run.

BUILD      ?= build
TEST_BUILD ?= build-test
TSAN_BUILD ?= build-tsan
BENCH_BUILD ?= build-bench
JOBS       ?= $(shell nproc)
ARGS       ?=
CTEST_ARGS ?=

.PHONY: all deps build run test test-asan test-tsan bench bench-alsa format clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD) $(ARGS)

# The ThreadSanitizer build runs the threaded tests; the AddressSanitizer and
# UndefinedBehaviorSanitizer build runs everything and prints the last summary.
test: deps test-tsan test-asan

test-asan:
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_C_COMPILER=clang -DMM_TESTS=ON -DMM_FUZZ=ON -DMM_SANITIZE=address,undefined
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

test-tsan:
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_C_COMPILER=clang -DMM_TESTS=ON -DMM_THREADED_ONLY=ON -DMM_SANITIZE=thread
	cmake --build $(TSAN_BUILD) -j $(JOBS)
	cd $(TSAN_BUILD) && ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DMM_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@echo "benchmarks are in $(BENCH_BUILD)/bench"

# The monitor's thru over the ALSA sequencer, in the ALSA test guest.
bench-alsa: bench
	bench/monitor/run-alsa-bench.sh $(BENCH_BUILD)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(TSAN_BUILD) $(BENCH_BUILD)
