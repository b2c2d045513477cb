# Set-up and everyday commands. `make demo` and `make test` work on a fresh
# Debian machine: missing packages are installed when run as root, otherwise
# the apt-get command to run is printed.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
SANITIZE ?= OFF
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 60
SAMPLE ?= a+b=c

PACKAGES := cmake make g++ clang libclang-rt-14-dev nlohmann-json3-dev libicu-dev libgtest-dev \
            libgmock-dev libcli11-dev libbenchmark-dev python3 python3-olefile python3-pytest pkgconf binutils \
            clang-format git valgrind

.PHONY: all deps configure build install demo test test-thread memcheck bench fuzz fuzz-prefs format tables clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "missing packages; run: sudo apt-get install -y$$missing"; exit 1; \
	  fi; \
	fi

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DQUORVIX_SANITIZE=$(SANITIZE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# PREFIX=DIR installs elsewhere than the configured prefix (/usr/local).
PREFIX ?=
install: build
	cmake --install $(BUILD_DIR) $(if $(PREFIX),--prefix $(PREFIX))

demo: build
	@echo '--- quorvix convert "$(SAMPLE)"'
	$(BUILD_DIR)/quorvix convert '$(SAMPLE)'
	@echo
	@echo '--- quorvix convert "$(SAMPLE)" -o $(BUILD_DIR)/demo.ole --qvf $(BUILD_DIR)/demo.qvf'
	$(BUILD_DIR)/quorvix convert '$(SAMPLE)' -o $(BUILD_DIR)/demo.ole --qvf $(BUILD_DIR)/demo.qvf
	@if $(BUILD_DIR)/quorvix dump --help >/dev/null 2>&1; then \
	  echo '--- quorvix dump $(BUILD_DIR)/demo.ole'; $(BUILD_DIR)/quorvix dump $(BUILD_DIR)/demo.ole; fi

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The tests that convert on several threads at once, and the corpus test,
# under ThreadSanitizer (clang). Only their executables are built.
TSAN_DIR ?= build-tsan
TSAN_TESTS := CorpusTest|DefaultDefinitions|LegacyEncoders|CompoundFileHex
test-thread: deps
	cmake -S . -B $(TSAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVIX_SANITIZE=thread \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQUORVIX_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(TSAN_DIR) -j $(JOBS) --target test_corpus test_fixed_defs test_quorvix_ansi test_ole
	cd $(TSAN_DIR) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure --no-tests=error -j $(JOBS) -R '$(TSAN_TESTS)'

# Valgrind memcheck over the C interface test and a sample of the corpus
# (every fifth line, spread over both files): any error or leak fails. The
# table built once per process is reachable until exit by design, so only
# lost blocks count as leaks.
VALGRIND := valgrind -q --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect,possible
memcheck: build
	$(VALGRIND) $(BUILD_DIR)/tests/test_c_api_c
	QUORVIX_CORPUS_STRIDE=5 $(VALGRIND) $(BUILD_DIR)/tests/test_corpus --gtest_filter='CorpusTest.EveryLineGetsAWellFormedResponse'

# `make bench` saves each run's figures in build-bench/bench-last.json and
# compares them with the run before (kept as bench-previous.json), or with
# BENCH_BASELINE=FILE. BENCH_ARGS passes options such as
# --benchmark_filter=BM_Profile to the benchmark.
BENCH_ARGS ?=
BENCH_BASELINE ?= build-bench/bench-previous.json
bench:
	$(MAKE) build BUILD_DIR=build-bench BUILD_TYPE=Release CMAKE_FLAGS=-DQUORVIX_BUILD_TESTS=OFF
	@if [ -f build-bench/bench-last.json ]; then mv build-bench/bench-last.json build-bench/bench-previous.json; fi
	build-bench/bench/quorvix_bench --benchmark_out=build-bench/bench-last.json --benchmark_out_format=json $(BENCH_ARGS)
	@if [ -f $(BENCH_BASELINE) ]; then \
	  echo "--- compared with $(BENCH_BASELINE)"; \
	  python3 tools/bench/compare_bench.py $(BENCH_BASELINE) build-bench/bench-last.json; \
	else echo "--- no earlier run to compare with: the next make bench compares with this one"; fi

# `make fuzz` runs the request fuzzer with the TeX dictionary; `make
# fuzz-prefs` the preferences-text fuzzer. Each keeps its growing corpus in
# fuzz/corpus-run* and starts from its seeds.
FUZZ_BUILD := $(MAKE) configure BUILD_DIR=build-fuzz BUILD_TYPE=RelWithDebInfo \
  CMAKE_FLAGS="-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQUORVIX_FUZZ=ON -DQUORVIX_BUILD_TESTS=OFF -DQUORVIX_BUILD_BENCH=OFF"

fuzz:
	$(FUZZ_BUILD)
	cmake --build build-fuzz -j $(JOBS) --target quorvix_fuzz
	mkdir -p fuzz/corpus-run
	build-fuzz/fuzz/quorvix_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -dict=build-fuzz/fuzz/tex.dict \
	  fuzz/corpus-run fuzz/seeds

fuzz-prefs:
	$(FUZZ_BUILD)
	cmake --build build-fuzz -j $(JOBS) --target quorvix_prefs_fuzz
	mkdir -p fuzz/corpus-run-prefs
	build-fuzz/fuzz/quorvix_prefs_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=8192 fuzz/corpus-run-prefs fuzz/prefs_seeds

# The Markdown documents holding the table listings the generated tables are
# written from.
TABLE_DOCS ?= $(wildcard $(CURDIR)/../shared/*.md)

tables:
	@if [ -z "$(TABLE_DOCS)" ]; then \
	  echo "no Markdown document with the table listings in $(CURDIR)/../shared; set TABLE_DOCS"; exit 1; fi
	PYTHONDONTWRITEBYTECODE=1 python3 tools/tablegen/tablegen.py $(TABLE_DOCS)

format:
	clang-format -i $$(git ls-files '*.cc' '*.h' '*.c' '*.inl')

clean:
	rm -rf build build-*
