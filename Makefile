# Two entry points for a fresh Debian 12 machine: `make run` and `make test`.
# Both install whatever Debian packages are missing, configure and build.

BUILD_DIR ?= build
PACKAGES := cmake ninja-build g++ make qt6-base-dev qt6-webengine-dev \
            libgtest-dev libgmock-dev libbenchmark-dev libgl-dev
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)
# Rebuilds are much faster through ccache where a developer has it.
CMAKE_ARGS := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do \
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

# Only the two programs: tests and benchmarks wait for `make test`.
run: configure
	cmake --build $(BUILD_DIR) --target pluvora pluvora-batch
	$(BUILD_DIR)/app/pluvora

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

bench: build
	$(BUILD_DIR)/bench/pluvora_bench

clean:
	rm -rf $(BUILD_DIR)
