# The two set-up commands: `make run` and `make test`. Both first install
# whatever Debian packages are missing, then configure and build into build/.
BUILD := build
ASAN_BUILD := build-asan
JOBS := $(shell nproc)

.PHONY: all deps build run test bench clean sanitize test-sanitized asan-configure

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# The window reads the sample bank build/bin/data.dat beside it. Without a
# display it says so and exits non-zero.
run: build
	@$(BUILD)/bin/vellmar-quiz

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory test-sanitized

# AddressSanitizer and UndefinedBehaviorSanitizer, in build-asan/.
asan-configure: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLMAR_SANITIZE=ON >/dev/null

# The core and tool tests, sanitized; the second half of `make test`.
test-sanitized: asan-configure
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target tests-core tests-tool
	@cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) -L '^(core|tool)$$'

# Everything built sanitized, and the whole test suite run under the sanitizers.
sanitize: asan-configure
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@$(BUILD)/bench/vellmar-bench

clean:
	rm -rf $(BUILD)
