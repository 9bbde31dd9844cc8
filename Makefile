# The two commands of the README: `make run` and `make test`. Both install what is
# missing, configure and build first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "Rigsmith is a desktop program and needs a display, but none is set (DISPLAY / WAYLAND_DISPLAY)."; \
		echo "Run it from a desktop session, or under a virtual display:  xvfb-run -a $(BUILD_DIR)/rigsmith"; \
		exit 1; \
	fi
	@$(BUILD_DIR)/rigsmith

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

clean:
	@rm -rf $(BUILD_DIR)
