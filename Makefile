# The two set-up commands: `make run` and `make test`. Both first install
# whatever Debian packages are missing, then configure and build into build/.
# `make run` installs and builds only what the window needs.
BUILD := build
JOBS := $(shell nproc)
PREFIX ?= /usr/local
# Extra configure options, e.g. CMAKE_ARGS=-DVELLMAR_WARNINGS_AS_ERRORS=ON as CI builds.
CMAKE_ARGS ?=

# What the window, the bank tool and the package need; tests and benchmark aside.
PROGRAMS := vellmar-quiz vellmar-bank sample-bank

.PHONY: all configure build programs run test bench package install clean

all: build

configure:
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS) >/dev/null

build:
	@bash scripts/install-deps.sh
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
