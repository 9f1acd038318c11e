# The two set-up commands: `make run` and `make test`. Both first install
# whatever Debian packages are missing, then configure and build into build/.
BUILD := build
JOBS := $(shell nproc)
# Extra configure options, e.g. CMAKE_ARGS=-DVELLMAR_WARNINGS_AS_ERRORS=ON as CI builds.
CMAKE_ARGS ?=

.PHONY: all deps build run test bench clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# The window reads the sample bank build/bin/data.dat beside it. Without a
# display it says so and exits non-zero.
run: build
	@$(BUILD)/bin/vellmar-quiz

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The search and load benchmarks, then the window's start-up and footprint
# under Xvfb; a few minutes. Says what is missing when a part cannot run.
bench: build
	@cmake --build $(BUILD) --target bench

clean:
	rm -rf $(BUILD)
