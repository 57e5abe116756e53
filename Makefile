# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands of the README: `make run` and `make test`.
# Both install the Debian packages they need when they are missing.

PACKAGES := cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins qt6-charts-dev qt6-svg-dev \
            libxcb1-dev libgtest-dev libgmock-dev fonts-dejavu-core poppler-utils \
            clang libclang-rt-dev desktop-file-utils appstream xvfb
# Benchmarks only: Google Benchmark, and FANN as the speed reference. They
# are built as the package is (Release, hardened), so they measure what runs.
BENCH_PACKAGES := libbenchmark-dev libfann-dev
# make package only: CPack's DEB generator (dpkg-shlibdeps, file) and the
# checkers of the package, its menu entry and its metainfo.
PACKAGE_PACKAGES := dpkg-dev file lintian desktop-file-utils appstream man-db
# Static analysis only (make lint).
LINT_PACKAGES := clang-tidy cppcheck

BUILD       := build
ASAN_BUILD  := build-asan
FUZZ_BUILD  := build-fuzz
BENCH_BUILD := build-bench
SOAK_BUILD  := build-soak
PACKAGE_BUILD := build-package
LINT_BUILD  := build-lint
WORKDIR     := work
# Seconds per fuzz target: `make fuzz FUZZ_SECONDS=60`; make test uses 20.
FUZZ_SECONDS ?= 300

.PHONY: run test build fuzz fuzz-build bench soak package lint deps bench-deps lint-deps clean

define install_missing
	@missing=""; \
	for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "sudo apt-get install$$missing"; exit 1; \
	  fi; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

bench-deps: deps
	$(call install_missing,$(BENCH_PACKAGES))

lint-deps: deps
	$(call install_missing,$(LINT_PACKAGES))

build: deps
	cmake --preset plain
	cmake --build --preset plain

run: build
	@mkdir -p $(WORKDIR)
	@cp -n demo/*.* exercises/*.* $(WORKDIR)/ 2>/dev/null || true
	cd $(WORKDIR) && ../$(BUILD)/app/backpropagation

fuzz-build: deps
	cmake --preset fuzz
	cmake --build --preset fuzz

fuzz: fuzz-build
	@scripts/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Three configurations (presets): plain, sanitized (only the tests where the
# sanitizers can find something) and fuzz; then every test in each.
test: deps
	cmake --preset plain
	cmake --build --preset plain
	cmake --preset asan
	cmake --build --preset asan
	@$(MAKE) --no-print-directory fuzz-build
	@scripts/run-tests.sh $(BUILD) $(ASAN_BUILD) --fuzz $(FUZZ_BUILD) 20

bench: bench-deps
	cmake --preset bench
	cmake --build --preset bench
	@scripts/run-bench.sh $(BENCH_BUILD)

# A long run under the sanitizers that checks the heap does not grow.
soak: deps
	cmake --preset soak
	cmake --build --preset soak
	ASAN_OPTIONS=detect_leaks=1 $(SOAK_BUILD)/bench/soak/soak

# The Debian package, installed under /usr. Its binaries are hardened as
# Debian hardens its own, by the project's CMake files (cmake/Hardening.cmake)
# as every optimised build is; lintian must find no error and no warning in
# it, and no hardening item at all.
package: deps
	$(call install_missing,$(PACKAGE_PACKAGES))
	cmake --preset package
	cmake --build --preset package
	rm -f $(PACKAGE_BUILD)/*.deb
	cd $(PACKAGE_BUILD) && cpack -G DEB
	@lintian --display-info --fail-on error,warning $(PACKAGE_BUILD)/*.deb >$(PACKAGE_BUILD)/lintian.txt; \
	  status=$$?; cat $(PACKAGE_BUILD)/lintian.txt; [ $$status -eq 0 ] || exit $$status; \
	  ! grep -q hardening $(PACKAGE_BUILD)/lintian.txt || { echo "lintian: hardening items above"; exit 1; }
	@ls $(PACKAGE_BUILD)/*.deb

# clang-tidy and cppcheck over engine/, files/, tools/ and ui/ (.clang-tidy,
# cppcheck-suppressions.txt). Only configures: the checks read the sources.
lint: lint-deps
	cmake --preset lint
	@scripts/run-lint.sh $(LINT_BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD) $(SOAK_BUILD) $(PACKAGE_BUILD) \
	  $(LINT_BUILD) fuzz-corpus-run
