# The two commands a newcomer types: `make run` and `make test`.
BUILD ?= build
PACKAGE_BUILD ?= build-package
DEMO ?= $(BUILD)/demo
SHOTS_SHOP = $(BUILD)/screenshot-shop
DATA ?= $(HOME)/ソラニカ
JOBS ?= 2

.PHONY: run test build deps configure bench format clean package demo screenshots

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
	  cmake -S . -B $(BUILD) -G "$$( command -v ninja >/dev/null 2>&1 && echo Ninja || echo 'Unix Makefiles')" \
	    -DCMAKE_BUILD_TYPE=RelWithDebInfo; \
	fi

deps:
	@bash scripts/install-deps.sh

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
	rm -rf $(BUILD) $(PACKAGE_BUILD)
