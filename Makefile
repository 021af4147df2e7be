# The two commands of the README: `make run` and `make test`.
JOBS ?= $(shell nproc)
BUILD := build
ASAN := build-asan

.PHONY: run test bench deps build build-asan fuzz clean

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

build-asan: deps
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_BENCH=OFF >/dev/null
	@cmake --build $(ASAN) -j$(JOBS)

run: build
	./$(BUILD)/velmora

test: build build-asan
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j$(JOBS)

bench: build
	@scripts/run-benchmarks $(BUILD)

fuzz: deps
	@cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON -DVELMORA_BENCH=OFF >/dev/null
	@cmake --build build-fuzz -j$(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN) build-fuzz
