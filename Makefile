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

.PHONY: run test build deps configure bench format clean killtest test-sanitize fuzz package demo screenshots \
  windows test-windows test-windows-print windows-package windows-configure windows-screenshots \
  windows-source windows-bench

# The Windows build: a MinGW-w64 cross build against the prefix scripts/windows/toolchain.sh fills.
WIN_BUILD ?= build-windows
WIN_PREFIX ?= $(HOME)/.cache/soranika/win64
# The suites run under Wine; the web-engine, CUPS, file-mode and sample-script tests stay on Linux.
WIN_TESTS ?= test_codec test_numbers test_datetext test_recordfile test_picklist test_settings test_salestore \
  test_chart test_printout test_chartlist test_editor test_masterdata test_sale test_sale_screens \
  test_backup test_dailybackup test_backup_menu test_textview test_app test_activation test_folderlock test_overview
# A Wine prefix of the build's own, so Wine servers of other builds on the machine are left alone.
WIN_WINEPREFIX ?= $(abspath $(WIN_BUILD))/wine

run: build
	mkdir -p "$(DATA)"
	cd "$(DATA)" && "$(CURDIR)/$(BUILD)/soranika"

# A demo shop to look around in (scripts/make-sample-data), with its own shop details.
demo: build
	@[ -f "$(DEMO)/detapetto.dt" ] || python3 scripts/make-sample-data "$(DEMO)" --tools "$(BUILD)"
	cd "$(DEMO)" && XDG_CONFIG_HOME="$(abspath $(DEMO))/.config" "$(CURDIR)/$(BUILD)/soranika"

# docs/screenshots: every screen on a fresh demo shop, drawn under Xvfb with the installed Japanese fonts.
screenshots: build
	rm -rf "$(SHOTS_SHOP)"
	python3 scripts/make-sample-data "$(SHOTS_SHOP)" --tools "$(BUILD)"
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

# The kill tests with KILLS kills each: record stores and list rewrites, restores, and sales, returns
# and deletions (make test runs 200, 20 and 30).
killtest: build
	$(BUILD)/tests/hardening/killtest $(KILLS)
	QT_PLUGIN_PATH="$(abspath $(BUILD))" $(BUILD)/tests/hardening/restorekill $(KILLS)
	$(BUILD)/tests/hardening/salekill $(KILLS)

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

windows-configure:
	@[ -f "$(WIN_PREFIX)/.stamps/qtbase" ] || { \
	  echo "No Windows toolchain in $(WIN_PREFIX): run scripts/windows/toolchain.sh first."; exit 1; }
	@if [ ! -f $(WIN_BUILD)/CMakeCache.txt ]; then \
	  SORANIKA_WIN64_PREFIX="$(WIN_PREFIX)" cmake -S . -B $(WIN_BUILD) -G Ninja \
	    -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
	    -DSORANIKA_BENCH=OFF; \
	fi

# build-windows/soranika.exe and its plot and ZIP modules with their DLLs, Qt plugins and Qt's Japanese texts
# beside them.
windows: windows-configure
	cmake --build $(WIN_BUILD) -j$(JOBS) --target soranika soranika_plots soranika_zip
	SORANIKA_WIN64_PREFIX="$(WIN_PREFIX)" bash scripts/windows/deploy.sh $(WIN_BUILD) $(WIN_BUILD)/soranika.exe \
	  $(WIN_BUILD)/soranika_plots.dll $(WIN_BUILD)/soranika_zip.dll

# The test programs built for Windows and run under Wine, on the Windows platform under Xvfb; then every DLL
# the program and its modules bring along, deployed into a folder of its own as the installer does, must
# have its notice in packaging/copyright.
test-windows: windows
	cmake --build $(WIN_BUILD) -j$(JOBS) --target $(WIN_TESTS)
	SORANIKA_WIN64_PREFIX="$(WIN_PREFIX)" SORANIKA_WINEPREFIX="$(WIN_WINEPREFIX)" bash scripts/windows/test.sh $(WIN_BUILD) $(WIN_TESTS)
	rm -rf $(WIN_BUILD)/notice-check && mkdir -p $(WIN_BUILD)/notice-check
	cp $(WIN_BUILD)/soranika.exe $(WIN_BUILD)/soranika_plots.dll $(WIN_BUILD)/soranika_zip.dll $(WIN_BUILD)/notice-check/
	SORANIKA_WIN64_PREFIX="$(WIN_PREFIX)" bash scripts/windows/deploy.sh $(WIN_BUILD)/notice-check \
	  $(WIN_BUILD)/notice-check/soranika.exe $(WIN_BUILD)/notice-check/soranika_plots.dll \
	  $(WIN_BUILD)/notice-check/soranika_zip.dll
	bash scripts/check-copyright.sh packaging/copyright --dlls $(WIN_BUILD)/notice-check

# A chart and its explanation sheet printed by the Windows build under Wine (Wine's PostScript driver),
# compared page by page and line by line with the Linux build's printout of the same chart.
test-windows-print: windows configure
	cmake --build $(BUILD) -j$(JOBS) --target soranika_printsample soranika_species
	cmake --build $(WIN_BUILD) -j$(JOBS) --target soranika_printsample
	SORANIKA_WIN64_PREFIX="$(WIN_PREFIX)" bash scripts/windows/print-check.sh $(WIN_BUILD) $(BUILD)

# soranika.exe's start-up under Wine against a bare Qt window built with the same toolchain (a benchmark).
windows-bench: windows
	cmake --build $(WIN_BUILD) -j$(JOBS) --target soranika_bare_window
	SORANIKA_WIN64_PREFIX="$(WIN_PREFIX)" bash scripts/windows/startup-bench.sh $(WIN_BUILD)

# docs/screenshots/windows-*.png: soranika.exe under Wine on a fresh demo shop.
windows-screenshots: windows
	SORANIKA_WIN64_PREFIX="$(WIN_PREFIX)" bash scripts/windows/screenshots.sh $(WIN_BUILD) docs/screenshots

# The NSIS installer and the portable ZIP, each checked under Wine.
windows-package: windows
	SORANIKA_WIN64_PREFIX="$(WIN_PREFIX)" SORANIKA_WINEPREFIX="$(WIN_WINEPREFIX)" bash scripts/windows/package.sh $(WIN_BUILD)

# One archive of the exact sources the Windows binaries are built from, as GPL-3 asks of whoever passes
# them on: the program's source (git archive of HEAD) and each Debian source package the toolchain
# unpacked and built (its .dsc, .orig and .debian files, or the unpacked folder), and those of the MinGW
# runtime DLLs shipped beside the program.
windows-source:
	bash scripts/windows/source-archive.sh $(WIN_BUILD)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD) $(WIN_BUILD)
