# Set-up and everyday commands. Everything goes through CMake; these targets only save typing.
#   make demo   builds the library and the demo alone and runs it on its embedded sample (PNGs
#               into out/); needs only a compiler, CMake and libpng
#   make test   builds everything and runs every test, normally and under ASan + UBSan
#   make docs   renders the API reference (include/qpxcv.h, docs/overview.md) into build-docs/html
BUILD      ?= build
ASAN_BUILD ?= build-asan
DEMO_BUILD ?= build-demo
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build demo deps docs docs-deps test test-release test-sanitize bench format clean

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DQPX_WERROR=ON
	cmake --build $(BUILD) -j$(JOBS)

# The demo writes PNG files through libpng; install it when it is missing and we may.
deps:
	@if ! pkg-config --exists libpng 2>/dev/null; then \
	  if [ "$$(id -u)" = 0 ] && command -v apt-get >/dev/null; then \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq libpng-dev pkg-config; \
	  else echo "libpng development files are needed for the demo (libpng-dev)"; exit 1; fi; \
	fi

# A build of its own without tests or benchmarks, so the demo needs neither test framework.
demo: deps
	cmake -S . -B $(DEMO_BUILD) -DCMAKE_BUILD_TYPE=Release -DQPX_BUILD_TESTS=OFF \
	  -DQPX_BUILD_BENCH=OFF -DQPX_BUILD_EXAMPLES=ON
	cmake --build $(DEMO_BUILD) -j$(JOBS) --target qpx_demo
	mkdir -p out
	$(DEMO_BUILD)/examples/qpx_demo out

test: test-release test-sanitize

test-release: build docs-deps
	cd $(BUILD) && ctest -j$(JOBS) --output-on-failure

test-sanitize: docs-deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Release -DQPX_SANITIZE=ON -DQPX_WERROR=ON \
	  -DQPX_BUILD_BENCH=OFF -DQPX_BUILD_EXAMPLES=OFF
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ctest -j$(JOBS) --output-on-failure

# The API reference and its check (a test) need Doxygen; install it when it is missing and we may.
docs-deps:
	@if ! command -v doxygen >/dev/null; then \
	  if [ "$$(id -u)" = 0 ] && command -v apt-get >/dev/null; then \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq doxygen; \
	  else echo "Doxygen is needed for the API reference and its test (Debian package doxygen)"; exit 1; fi; \
	fi

# Fails, after writing the pages, on any warning: an undocumented declaration among them.
docs: docs-deps
	doxygen docs/Doxyfile
	@echo "API reference: build-docs/html/index.html"

bench: build
	$(BUILD)/bench/qpx_bench --benchmark_counters_tabular=true

format:
	git ls-files '*.cpp' '*.hpp' '*.c' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(DEMO_BUILD) out build-docs
