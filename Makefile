# The two set-up commands: `make run` and `make test`. Both first install
# whatever Debian packages are missing, then configure and build into build/.
BUILD := build
JOBS := $(shell nproc)

.PHONY: all deps build run test bench clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@echo '$$ vellmar-bank search $(BUILD)/bin/data.dat 首都'
	@$(BUILD)/bin/vellmar-bank search $(BUILD)/bin/data.dat 首都

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)
