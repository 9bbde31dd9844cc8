# The two commands of the README: `make run` and `make test`. Both install what is
# missing, configure and build first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# Warnings are errors in every build made here (`make test WERROR=OFF` to relax);
# a plain `cmake` build, as packagers run it, keeps them warnings.
WERROR ?= ON

.PHONY: all deps configure build run test test-release test-sanitize package fuzz bench clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug -DRIGSMITH_WERROR=$(WERROR) >/dev/null

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

# The whole test suite again in an optimised build, which sees warnings and faults that
# a debug build does not.
REL_BUILD_DIR ?= build-release
test-release: deps
	@cmake -S . -B $(REL_BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DRIGSMITH_WERROR=$(WERROR) >/dev/null
	@cmake --build $(REL_BUILD_DIR) -j$(JOBS)
	@cd $(REL_BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# The whole test suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
SAN_BUILD_DIR ?= build-asan
test-sanitize: deps
	@cmake -S . -B $(SAN_BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug -DRIGSMITH_SANITIZE=ON -DRIGSMITH_WERROR=$(WERROR) >/dev/null
	@cmake --build $(SAN_BUILD_DIR) -j$(JOBS)
	@cd $(SAN_BUILD_DIR) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j$(JOBS)

# The Debian package, from its own Release build installed under /usr with Debian's
# hardening flags, then checked with lintian when it is installed
# (scripts/install-deps.sh package): errors fail.
PKG_BUILD_DIR ?= build-package
package:
	@scripts/install-deps.sh package
	@export DEB_BUILD_MAINT_OPTIONS=hardening=+all && \
	cmake -S . -B $(PKG_BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
		-DRIGSMITH_BUILD_TESTS=OFF -DRIGSMITH_WERROR=$(WERROR) \
		-DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" >/dev/null
	@cmake --build $(PKG_BUILD_DIR) -j$(JOBS)
	@rm -f $(PKG_BUILD_DIR)/rigsmith_*.deb
	@cd $(PKG_BUILD_DIR) && cpack -G DEB
	@if command -v lintian >/dev/null; then \
		lintian --fail-on error $(PKG_BUILD_DIR)/rigsmith_*.deb && \
		echo "lintian: no errors"; \
	else \
		echo "lintian is not installed; the package was not checked"; \
	fi

# Each fuzz target for FUZZ_SECONDS (default 600).
FUZZ_SECONDS ?= 600
fuzz:
	@scripts/install-deps.sh fuzz
	@scripts/fuzz.sh $(FUZZ_SECONDS)

# The benchmarks, built in Release; figures are kept in docs/performance.md.
BENCH_BUILD_DIR ?= build-bench
bench:
	@scripts/install-deps.sh bench
	@cmake -S . -B $(BENCH_BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DRIGSMITH_BENCH=ON -DRIGSMITH_BUILD_TESTS=OFF \
		-DRIGSMITH_WERROR=$(WERROR) >/dev/null
	@cmake --build $(BENCH_BUILD_DIR) -j$(JOBS) --target rigsmith_bench
	@QT_QPA_PLATFORM=offscreen $(BENCH_BUILD_DIR)/bench/rigsmith_bench

clean:
	@rm -rf $(BUILD_DIR)
