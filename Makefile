# Entry points for a fresh Debian 12 machine: `make run`, `make test` (the
# plain suite and the engine under the sanitizers), `make test-all` (every
# check, as CI runs it) and `make check` (the plain suite alone). All install
# whatever Debian packages are missing, configure and build.

BUILD_DIR ?= build
# The same suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
ASAN_DIR ?= build-asan
# libFuzzer targets, built by clang; `make fuzz` runs each for FUZZ_SECONDS.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_MAX_LEN ?= 4096
# The targets write their files per input: a memory file system is many
# times faster where there is one.
FUZZ_TMPDIR ?= $(if $(wildcard /dev/shm/.),/dev/shm,$(or $(TMPDIR),/tmp))
FUZZ_TARGETS := textreader panelload processingrun batchprogram
PACKAGES := cmake ninja-build g++ make qt6-base-dev qt6-webengine-dev \
            qt6-charts-dev qt6-svg-dev chromium \
            libgtest-dev libgmock-dev libbenchmark-dev libgl-dev parallel \
            libcurl4-openssl-dev
# The Slurm example's test starts a one-node Slurm of its own.
SLURM_PACKAGES := slurm-wlm munge
FUZZ_PACKAGES := clang libclang-rt-14-dev
NPROC := $(shell nproc 2>/dev/null || echo 2)
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)
# Rebuilds are much faster through ccache where a developer has it.
CMAKE_ARGS := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: all deps fuzz-deps slurm-deps test-slurm bench-build bench-fill bench-formats configure build asan-configure asan-build fuzz-build run check test test-all bench fuzz clean

all: build

deps fuzz-deps slurm-deps: LIST = $(if $(filter fuzz-deps,$@),$(FUZZ_PACKAGES),$(if $(filter slurm-deps,$@),$(SLURM_PACKAGES),$(PACKAGES)))
deps fuzz-deps slurm-deps:
	@missing=$$(for p in $(LIST); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing: $$missing"; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

configure: deps
	@[ -f $(BUILD_DIR)/build.ninja ] || cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD_DIR)

asan-build: asan-configure
	cmake --build $(ASAN_DIR)

fuzz-build: fuzz-deps deps
	@[ -f $(FUZZ_DIR)/build.ninja ] || CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja $(CMAKE_ARGS) \
	    -DPLUVORA_FUZZ=ON -DPLUVORA_SANITIZE=address,undefined \
	    -DPLUVORA_BUILD_TESTS=OFF -DPLUVORA_BUILD_BENCH=OFF
	cmake --build $(FUZZ_DIR) --target $(addprefix fuzz_,$(FUZZ_TARGETS))

# Only the two programs: tests and benchmarks wait for `make test`.
run: configure
	cmake --build $(BUILD_DIR) --target pluvora pluvora-batch
	$(BUILD_DIR)/app/pluvora

# The plain suite alone: one build, no sanitizer build.
check: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -LE slurm -j$(NPROC)
	@# How the layout suggestion reads each real sample file, for the log.
	@$(BUILD_DIR)/tests/batch_tests --gtest_filter='LayoutCorpus.*' | sed -n '/^file |/,/^right /p'

# LeakSanitizer needs ptrace, which some containers forbid; the address and
# undefined-behaviour checks still run there.
ASAN_RUN = leaks=1; \
	  if ! ./tests/methods_tests --gtest_filter=-* >/dev/null 2>&1; then \
	    leaks=0; echo "LeakSanitizer cannot run here: leak checks are off"; \
	  fi; \
	  export ASAN_OPTIONS=detect_leaks=$$leaks QT_QPA_PLATFORM=offscreen;
# -Og keeps the instrumented code fast enough to run and compiles in about
# half the time of -O2; line tables are all the sanitizers' reports use.
ASAN_FLAGS := -Og -g1 -DNDEBUG
# The batch program's replay needs the whole batch library instrumented:
# `make test-all` runs it.
ASAN_QUICK_FUZZ := $(filter-out batchprogram,$(FUZZ_TARGETS))
ASAN_QUICK_TARGETS := engine_tests methods_tests $(addprefix fuzz_,$(addsuffix _replay,$(ASAN_QUICK_FUZZ)))

asan-configure: deps
	@[ -f $(ASAN_DIR)/build.ninja ] || cmake -S . -B $(ASAN_DIR) -G Ninja $(CMAKE_ARGS) \
	    -DPLUVORA_SANITIZE=address,undefined -DPLUVORA_BUILD_BENCH=OFF \
	    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$(ASAN_FLAGS)"

# The everyday check: the plain suite, then the engine's tests and the fuzz
# corpus replay under the sanitizers. The window's and the batch program's
# tests run in the plain suite only; `make test-all` runs them under the
# sanitizers as well.
test: check asan-configure
	cmake --build $(ASAN_DIR) --target $(ASAN_QUICK_TARGETS)
	cd $(ASAN_DIR) && $(ASAN_RUN) \
	  ./tests/engine_tests --gtest_brief=1 && ./tests/methods_tests --gtest_brief=1 && \
	  ctest --output-on-failure -R '^Fuzz[.]($(subst $(eval) ,|,$(ASAN_QUICK_FUZZ)))$$'

# Every check, as CI runs it: the plain suite, then the whole suite under the
# sanitizers. Tests labelled no-sanitizer are left out of the second run;
# each such label says in its CMake file why the test cannot run under ASan.
test-all: check bench-build asan-build
	cd $(ASAN_DIR) && $(ASAN_RUN) ctest --output-on-failure -LE 'no-sanitizer|slurm'

# The tests that start daemons (a one-node Slurm); they skip, saying why,
# where the packages are missing or the daemons cannot start.
test-slurm: build
	cd $(BUILD_DIR) && ctest --output-on-failure -L slurm

# The benchmarks are left out of the everyday build; CI builds them too.
BENCH_TARGETS := pluvora_bench pluvora_chart_bench pluvora_manyfiles_bench pluvora_memory_bench pluvora_window_bench
bench-build: configure
	cmake --build $(BUILD_DIR) --target $(BENCH_TARGETS)

bench: build bench-build
	$(BUILD_DIR)/bench/pluvora_bench
	$(BUILD_DIR)/bench/pluvora_manyfiles_bench
	$(BUILD_DIR)/bench/pluvora_memory_bench
	$(BUILD_DIR)/bench/pluvora_window_bench
	cmake --build $(BUILD_DIR) --target pluvora_fill_accuracy
	python3 bench/formats/format_speed.py $(BUILD_DIR)/app/pluvora-batch

# Only the speed of each format read by its own rules: 365,000 days each.
bench-formats: configure
	cmake --build $(BUILD_DIR) --target pluvora-batch
	python3 bench/formats/format_speed.py $(BUILD_DIR)/app/pluvora-batch

# Only the accuracy of gap filling: builds the batch program alone.
bench-fill: configure
	cmake --build $(BUILD_DIR) --target pluvora_fill_accuracy

# New findings land in $(FUZZ_DIR)/findings/<target>; a crash input that
# is fixed goes to fuzz/regressions/<target>, where `make test` replays it.
fuzz: fuzz-build
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$t $(FUZZ_DIR)/findings/$$t && \
	  echo "== fuzz_$$t for $(FUZZ_SECONDS) s" && \
	  TMPDIR=$(FUZZ_TMPDIR) $(FUZZ_DIR)/fuzz/fuzz_$$t $(FUZZ_DIR)/corpus/$$t fuzz/corpus/$$t fuzz/regressions/$$t \
	    -max_total_time=$(FUZZ_SECONDS) -max_len=$(FUZZ_MAX_LEN) -timeout=20 -rss_limit_mb=4096 \
	    -artifact_prefix=$(FUZZ_DIR)/findings/$$t/ -print_final_stats=1 || exit 1; \
	done

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
