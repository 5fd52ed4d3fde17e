# The two commands a newcomer types: `make run` and `make test`.
BUILD ?= build
PACKAGE_BUILD ?= build-package
DEMO ?= $(BUILD)/demo
SHOTS_SHOP = $(BUILD)/screenshot-shop
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

.PHONY: run test build deps configure bench format clean killtest test-sanitize fuzz package demo screenshots

run: build
	mkdir -p "$(DATA)"
	cd "$(DATA)" && "$(CURDIR)/$(BUILD)/soranika"

# A demo shop to look around in (scripts/make-sample-data), with its own shop details.
demo: build
	@[ -f "$(DEMO)/detapetto.dt" ] || python3 scripts/make-sample-data "$(DEMO)"
	cd "$(DEMO)" && XDG_CONFIG_HOME="$(abspath $(DEMO))/.config" "$(CURDIR)/$(BUILD)/soranika"

# docs/screenshots: every screen on a fresh demo shop, drawn under Xvfb with the installed Japanese fonts.
screenshots: build
	rm -rf "$(SHOTS_SHOP)"
	python3 scripts/make-sample-data "$(SHOTS_SHOP)"
	cd "$(SHOTS_SHOP)" && env QT_QPA_PLATFORM=xcb LANG=ja_JP.UTF-8 QTWEBENGINE_DISABLE_SANDBOX=1 \
	  XDG_CONFIG_HOME="$(abspath $(SHOTS_SHOP))/.config" \
	  xvfb-run -a -s "-screen 0 1280x800x24" "$(CURDIR)/$(BUILD)/soranika_screenshots" "$(CURDIR)/docs/screenshots"

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

# The kill tests with KILLS kills each: record stores and list rewrites, and restores
# (make test runs 200 and 20).
killtest: build
	$(BUILD)/tests/hardening/killtest $(KILLS)
	$(BUILD)/tests/hardening/restorekill $(KILLS)

bench: build
	$(BUILD)/bench/program_bench
	$(BUILD)/bench/store_bench

# The Debian package, built for /usr in a build folder of its own and checked with lintian.
package:
	@bash scripts/install-deps.sh package
	cmake -S . -B $(PACKAGE_BUILD) -G "$$( command -v ninja >/dev/null 2>&1 && echo Ninja || echo 'Unix Makefiles')" \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr -DSORANIKA_TESTS=OFF
	cmake --build $(PACKAGE_BUILD) -j$(JOBS)
	rm -f $(PACKAGE_BUILD)/soranika_*.deb
	cd $(PACKAGE_BUILD) && cpack
	lintian --info $(PACKAGE_BUILD)/soranika_*.deb
	@ls -l $(PACKAGE_BUILD)/soranika_*.deb

format: configure
	cmake --build $(BUILD) --target format

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD)
