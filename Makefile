# The project's commands. `make run` and `make test` install what they need first.
BUILD ?= build
JOBS ?= 2
SCREENSHOT ?= $(BUILD)/screenshots/terminal.png
FUZZ_SECONDS ?= 60

.PHONY: deps configure build test run bench loadbench package install fuzz clean

deps:
	bash scripts/deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j$(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS) --timeout 300

run: build
	bash scripts/run-terminal.sh $(BUILD) $(SCREENSHOT)

bench: build
	bash scripts/run-bench.sh $(BUILD)

package: build
	cmake --build $(BUILD) --target package

install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix "$(PREFIX)")

# zhp-server under 32 clients for 30 s on SQLite and PostgreSQL, with and without hostile clients.
loadbench: build
	bash scripts/run-loadbench.sh $(BUILD)

# The libFuzzer targets of fuzz/, FUZZ_SECONDS each, in a clang build of their own.
fuzz: deps
	bash scripts/run-fuzz.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BUILD)-fuzz
