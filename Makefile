# The two commands a newcomer types: `make run` and `make test`.
BUILD ?= build
DATA ?= $(HOME)/ソラニカ
JOBS ?= 2
KILLS ?= 1000
SANITIZE_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_TIME ?= 60
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo 'Unix Makefiles')
# Sanitizer reports end the program with a failure; leaks are checked too.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: run test build deps configure bench format clean killtest test-sanitize fuzz

run: build
	mkdir -p "$(DATA)"
	cd "$(DATA)" && "$(CURDIR)/$(BUILD)/soranika"

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

configure: deps
	@if [ ! -f $(BUILD)/CMakeCache.txt ]; then \
	  cmake -S . -B $(BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=RelWithDebInfo; \
	fi

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer, in a build of its own.
test-sanitize: deps
	@if [ ! -f $(SANITIZE_BUILD)/CMakeCache.txt ]; then \
	  cmake -S . -B $(SANITIZE_BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DSORANIKA_SANITIZE=ON -DSORANIKA_BENCH=OFF; \
	fi
	cmake --build $(SANITIZE_BUILD) -j$(JOBS)
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) ctest --output-on-failure -j$(JOBS)

deps:
	@bash scripts/install-deps.sh

# Every libFuzzer target for FUZZ_TIME seconds, in a clang build of its own.
fuzz: deps
	@if [ ! -f $(FUZZ_BUILD)/CMakeCache.txt ]; then \
	  CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DSORANIKA_FUZZ=ON; \
	fi
	cmake --build $(FUZZ_BUILD) -j$(JOBS)
	scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_TIME)

# The kill test with KILLS kills (make test runs 200).
killtest: build
	$(BUILD)/tests/hardening/killtest $(KILLS)

bench: build
	$(BUILD)/bench/store_bench

format: configure
	cmake --build $(BUILD) --target format

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
