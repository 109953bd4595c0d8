# Front for the two everyday commands: `make demo` runs the main job, `make test` the test suite.
BUILD     ?= build
BUILD_SAN ?= build-san
JOBS      ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build demo screenshots package test test-san bench fuzz clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# With a display: the desktop program on a virtual instrument, in a fresh demo folder.
# Without one: the command-line demo.
DEMO_HOME ?= $(abspath $(BUILD))/demo-home
demo: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] && [ -x $(BUILD)/src/app/nlx-gui ]; then \
	  rm -rf "$(DEMO_HOME)" && mkdir -p "$(DEMO_HOME)" && \
	  echo "nlx-gui --simulate a, application folder $(DEMO_HOME)" && \
	  NLX_HOME="$(DEMO_HOME)" $(BUILD)/src/app/nlx-gui --simulate a; \
	else \
	  $(BUILD)/src/cli/nlx demo; \
	fi

# Pictures of every window after a download of each model, for the README and for review, taken
# on a real X display with a window manager, and the first page of the demo's table report.
screenshots: build
	@scripts/with-real-display.sh $(BUILD)/src/app/nlx-gui --screenshot docs/screenshots
	@mkdir -p docs/screenshots/en && NLX_LANG=en scripts/with-real-display.sh $(BUILD)/src/app/nlx-gui --screenshot docs/screenshots/en
	@rm -rf $(BUILD)/shots-home && NLX_HOME=$(abspath $(BUILD))/shots-home $(BUILD)/src/cli/nlx demo >/dev/null
	@pdftoppm -png -r 40 -f 1 -l 1 -singlefile $(BUILD)/shots-home/demo-report-a.pdf docs/screenshots/report-page
	@echo docs/screenshots/report-page.png

# The .deb package of the build (install it with: sudo apt install ./build/nlx_*.deb).
package: build
	@cd $(BUILD) && cpack -G DEB

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-san: deps
	@cmake -S . -B $(BUILD_SAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNLX_SANITIZE=ON >/dev/null
	@cmake --build $(BUILD_SAN) -j $(JOBS)
	@ctest --test-dir $(BUILD_SAN) --output-on-failure -j $(JOBS)

bench: deps
	@cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DNLX_BUILD_BENCH=ON -DNLX_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(BUILD)-bench -j $(JOBS)
	@bash bench/run.sh $(BUILD)-bench

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNLX_FUZZ=ON -DNLX_BUILD_GUI=OFF -DNLX_BUILD_TESTS=OFF >/dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@bash tests/fuzz/run.sh build-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD)-bench build-fuzz
