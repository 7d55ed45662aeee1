BUILD_DIR ?= build
JOBS ?= $(shell nproc)

SANITIZE_DIR ?= build-sanitize
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 600

.PHONY: all deps configure build run test bench package sanitize fuzz clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/bin/glimmora

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	$(BUILD_DIR)/bin/glimmora-bench

# A Debian package of the installed programs: $(BUILD_DIR)/glimmora_*.deb.
package: build
	cd $(BUILD_DIR) && cpack -G DEB

# The whole suite built with address, leak and undefined-behaviour checks, in
# its own build folder.
sanitize: deps
	@cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLIMMORA_SANITIZE=ON \
		$(CMAKE_ARGS) >/dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS)

# Feeds the picture fuzzer for FUZZ_SECONDS with clang's libFuzzer; the
# inputs it finds interesting stay in $(FUZZ_DIR)/corpus for the next run,
# an input that breaks something is written to $(FUZZ_DIR)/crash-*.
fuzz:
	@command -v clang++ >/dev/null || { echo "make fuzz needs clang++ and its libFuzzer" >&2; exit 1; }
	@cmake -S . -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DGLIMMORA_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target glimmora-fuzz-picture glimmora-fuzz-seeds
	@mkdir -p $(FUZZ_DIR)/corpus
	@QT_QPA_PLATFORM=offscreen $(FUZZ_DIR)/bin/glimmora-fuzz-seeds $(FUZZ_DIR)/seeds
	cd $(FUZZ_DIR) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		bin/glimmora-fuzz-picture -max_total_time=$(FUZZ_SECONDS) -timeout=20 \
		-rss_limit_mb=3072 -malloc_limit_mb=16384 corpus seeds

clean:
	rm -rf $(BUILD_DIR)
