# The two set-up commands: `make run` and `make test`. Both first install
# whatever Debian packages are missing, then configure and build into build/.
# `make run` installs and builds only what the window needs.
BUILD := build
ASAN_BUILD := build-asan
FUZZ_BUILD := build-fuzz
FUZZ_SECONDS := 60
FUZZERS := fuzz_BankLoad fuzz_SearchQuestions fuzz_BankSource fuzz_BankCheck
JOBS := $(shell nproc)
PREFIX ?= /usr/local
# Extra configure options, e.g. CMAKE_ARGS=-DVELLMAR_WARNINGS_AS_ERRORS=ON as CI builds.
CMAKE_ARGS ?=

# What the window, the bank tool and the package need; tests and benchmark aside.
PROGRAMS := vellmar-quiz vellmar-bank sample-bank

.PHONY: all deps configure build programs run test bench package install clean sanitize test-sanitized asan-configure fuzz

all: build

configure:
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS) >/dev/null

deps:
	@bash scripts/install-deps.sh

build: deps
	@$(MAKE) --no-print-directory configure
	@cmake --build $(BUILD) -j $(JOBS)

programs:
	@bash scripts/install-deps.sh build
	@$(MAKE) --no-print-directory configure
	@cmake --build $(BUILD) -j $(JOBS) --target $(PROGRAMS)

# The window reads the sample bank build/bin/data.dat beside it. Without a
# display it says so and exits non-zero.
run: programs
	@$(BUILD)/bin/vellmar-quiz

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory test-sanitized

# AddressSanitizer and UndefinedBehaviorSanitizer, in build-asan/.
asan-configure: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLMAR_SANITIZE=ON $(CMAKE_ARGS) >/dev/null

# The core and tool tests, sanitized; the second half of `make test`.
test-sanitized: asan-configure
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target tests-core tests-tool
	@cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) -L '^(core|tool)$$'

# Everything built sanitized, and the whole test suite run under the sanitizers.
sanitize: asan-configure
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# Each libFuzzer target for FUZZ_SECONDS (make fuzz FUZZ_SECONDS=30), from its
# seeds in fuzz/corpus/<target>; what it learns stays in build-fuzz/corpus.
# The load reads its bank in 32 KB pieces, so its inputs may be longer.
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLMAR_FUZZ=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	@for fuzzer in $(FUZZERS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$fuzzer $(FUZZ_BUILD)/findings/$$fuzzer; \
	  max_len=4096; [ $$fuzzer = fuzz_BankLoad ] && max_len=70000; \
	  log=$(FUZZ_BUILD)/findings/$$fuzzer.log; \
	  echo "$$fuzzer: $(FUZZ_SECONDS) s"; \
	  if ! $(FUZZ_BUILD)/fuzz/$$fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=$$max_len -print_final_stats=1 \
	      -artifact_prefix=$(FUZZ_BUILD)/findings/$$fuzzer/ $(FUZZ_BUILD)/corpus/$$fuzzer fuzz/corpus/$$fuzzer >$$log 2>&1; then \
	    tail -n 40 $$log; echo "$$fuzzer found a fault; its input is in $(FUZZ_BUILD)/findings/$$fuzzer/"; exit 1; \
	  fi; \
	  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' $$log; \
	done

# The search and load benchmarks, then the window's start-up and footprint
# under Xvfb; a few minutes. Says what is missing when a part cannot run.
bench: build
	@cmake --build $(BUILD) --target bench

# build/vellmar-quiz_VERSION_ARCH.deb
package: programs
	@bash scripts/install-deps.sh package
	@cd $(BUILD) && cpack -G DEB

# Installs under PREFIX (default /usr/local): the window and its bank in
# lib/vellmar-quiz, the commands in bin.
install: programs
	@cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD)
