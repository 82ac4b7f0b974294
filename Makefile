# Thin driver of the CMake presets. `make test` and `make demo` install what
# is missing first (Debian 12).
JOBS ?= $(shell nproc)

.PHONY: install uninstall deb dist-win32 test-packages test-dist-win32
.PHONY: all deps deps-demo deps-cups native tools asan win32 fuzz test test-native test-asan test-win32 test-fuzz fuzz-long test-valgrind test-soak test-tools-build demo bench bench-callgrind cups install-cups install-cups-files test-cups-build uninstall-cups clean

all: native win32

deps:
	@scripts/install-deps.sh full

# What the program alone needs (no test libraries, no cross build).
deps-demo:
	@scripts/install-deps.sh demo

# What the CUPS driver needs to build and print (no test libraries).
deps-cups:
	@scripts/install-deps.sh cups

native:
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

# The program alone, without GoogleTest and Google Benchmark.
tools:
	cmake --preset tools >/dev/null
	cmake --build --preset tools -j $(JOBS)

asan:
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)

win32:
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS)

test-native: native
	ctest --preset native -j $(JOBS)

test-asan: asan
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --preset asan -j $(JOBS)

test-win32: win32
	scripts/wine-env.sh ctest --preset win32

fuzz:
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)

# Every fuzz target for a short, fixed budget on its seed corpus, with a
# fixed seed so that a finding in CI can be replayed (FUZZ_SEED=0 for a
# random one); the long run gives each an hour and a random seed.
FUZZ_SECONDS ?= 30
FUZZ_SEED ?= 1
test-fuzz: fuzz
	FUZZ_SEED=$(FUZZ_SEED) scripts/run-fuzzers.sh $(FUZZ_SECONDS)

fuzz-long: deps fuzz
	scripts/run-fuzzers.sh 3600

# The driver's tests (unit, request-level, dialogs, fault sweep, soak) under
# valgrind's memcheck: any error or definite leak fails. Valgrind is about
# 50 times slower, so the sweep fails every third call index and the soak
# makes 100 plots (about a minute in all).
VALGRIND_FILTER ?= *
test-valgrind: native
	cd build/native && TAVIX_SOAK_PLOTS=100 TAVIX_SWEEP_STRIDE=3 \
	  valgrind -q --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
	  tests/tavix_tests --gtest_filter='$(VALGRIND_FILTER)' --gtest_brief=1

# The soak test at full length: 10,000 plots in one process with constant
# heap and identical streams (a few seconds; the default suite makes 200).
SOAK_PLOTS ?= 10000
test-soak: native
	cd build/native && TAVIX_SOAK_PLOTS=$(SOAK_PLOTS) tests/tavix_tests --gtest_filter='Soak.*'

# The program builds on a machine with the demo's packages only: a fresh
# tools build that may not find GoogleTest or Google Benchmark.
TOOLS_CHECK_DIR := build/tools-check
test-tools-build:
	rm -rf $(TOOLS_CHECK_DIR)
	cmake --preset tools -B $(TOOLS_CHECK_DIR) -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON >/dev/null
	cmake --build $(TOOLS_CHECK_DIR) -j $(JOBS) --target tavix tavix-preview
	$(TOOLS_CHECK_DIR)/tavix --version
	$(TOOLS_CHECK_DIR)/tavix-preview --version
	rm -rf $(TOOLS_CHECK_DIR)

# The CUPS driver builds and installs on a machine without GoogleTest: a
# fresh `tools` build of the filter and the PPDs alone, staged with DESTDIR.
CUPS_CHECK_DIR := build/cups-check
test-cups-build:
	rm -rf $(CUPS_CHECK_DIR)
	cmake --preset tools -B $(CUPS_CHECK_DIR) -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON >/dev/null
	cmake --build $(CUPS_CHECK_DIR) -j $(JOBS) --target rastertotavix pdftotavix tavix-ppds
	$(MAKE) install-cups-files CUPS_BUILD_DIR=$(CUPS_CHECK_DIR) DESTDIR=$(CURDIR)/$(CUPS_CHECK_DIR)/stage
	test -x $(CUPS_CHECK_DIR)/stage$(CUPS_SERVERBIN)/filter/rastertotavix
	test -x $(CUPS_CHECK_DIR)/stage$(CUPS_SERVERBIN)/filter/pdftotavix
	test $$(ls $(CUPS_CHECK_DIR)/stage$(CUPS_PPD_DIR)/*.ppd | wc -l) -eq 5
	test ! -e $(CUPS_CHECK_DIR)/tavix
	$(CUPS_CHECK_DIR)/tavix-ppd --help | grep -q 'Writes the PPDs'
	rm -rf $(CUPS_CHECK_DIR)

test: deps
	$(MAKE) test-tools-build
	$(MAKE) test-cups-build
	$(MAKE) test-native
	$(MAKE) test-asan
	$(MAKE) test-win32
	$(MAKE) test-fuzz
	$(MAKE) test-valgrind
	$(MAKE) test-soak
	$(MAKE) test-dist-win32
	$(MAKE) test-packages

# The main job: configure the driver (TX-90, A1 paper, colour), plot the
# bundled example drawing and the DXF floor plan to printer files and draw
# their previews. Only the program is built, with only what it needs installed.
DEMO_DIR := out/demo
demo: deps-demo tools
	@mkdir -p $(DEMO_DIR)
	cd $(DEMO_DIR) && ../../build/tools/tavix --config demo.cfg configure --defaults --model tx90 --paper A1 --colour colour
	cd $(DEMO_DIR) && ../../build/tools/tavix --config demo.cfg plot ../../examples/demo.txt -o demo.plt --preview demo.png
	cd $(DEMO_DIR) && ../../build/tools/tavix --config demo.cfg plot ../../examples/floor-plan.dxf -o floor-plan.plt --preview floor-plan.png
	cd $(DEMO_DIR) && ../../build/tools/tavix --config demo.cfg plot ../../examples/floor-plan.pdf -o floor-plan-pdf.plt --preview floor-plan-pdf.png
	@echo
	@echo "printer file: $(DEMO_DIR)/demo.plt, $(DEMO_DIR)/floor-plan.plt, $(DEMO_DIR)/floor-plan-pdf.plt"
	@echo "preview:      $(DEMO_DIR)/demo.png, $(DEMO_DIR)/floor-plan.png, $(DEMO_DIR)/floor-plan-pdf.png"

# The CUPS driver: the filters rastertotavix and pdftotavix (PDFs as
# vectors) and the five PPDs, installed
# where CUPS looks for them (run as root: CUPS runs only filters that root
# owns). DESTDIR= stages the files for a package. Only the filter and the
# PPDs are built, in the `tools` preset (no GoogleTest), with the `cups`
# profile's packages installed first.
CUPS_SERVERBIN ?= $(shell cups-config --serverbin 2>/dev/null || echo /usr/lib/cups)
CUPS_PPD_DIR ?= /usr/share/ppd/tavix
CUPS_BUILD_DIR := build/tools
cups: deps-cups
	cmake --preset tools >/dev/null
	cmake --build $(CUPS_BUILD_DIR) -j $(JOBS) --target rastertotavix pdftotavix tavix-ppds

install-cups: cups
	$(MAKE) install-cups-files

install-cups-files:
	install -d $(DESTDIR)$(CUPS_SERVERBIN)/filter $(DESTDIR)$(CUPS_PPD_DIR)
	install -m 755 $(CUPS_BUILD_DIR)/cups/filter/rastertotavix $(DESTDIR)$(CUPS_SERVERBIN)/filter/rastertotavix
	install -m 755 $(CUPS_BUILD_DIR)/cups/filter/pdftotavix $(DESTDIR)$(CUPS_SERVERBIN)/filter/pdftotavix
	install -m 644 $(CUPS_BUILD_DIR)/cups/ppd/*.ppd $(DESTDIR)$(CUPS_PPD_DIR)/

uninstall-cups:
	rm -f $(DESTDIR)$(CUPS_SERVERBIN)/filter/rastertotavix $(DESTDIR)$(CUPS_SERVERBIN)/filter/pdftotavix
	rm -rf $(DESTDIR)$(CUPS_PPD_DIR)

bench: deps native
	@for b in build/native/bench/*; do [ -x "$$b" ] && "$$b"; done

# Instructions per move or draw request under callgrind, for the driver, the
# tight per-request encoder and the whole-stream loop (four workloads, both PE
# forms): load-independent figures beside the times of plotBench.
bench-callgrind:
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS) --target plotBench
	scripts/bench-callgrind.sh build/native/bench/plotBench

clean:
	rm -rf build out

# Installing for users of other distributions: the programs, the CUPS filter
# and PPDs, the manuals and the documents under PREFIX (staged under DESTDIR
# when given); `make uninstall` removes what the last `make install` put.
PREFIX ?= /usr/local
INSTALL_BUILD := build/install
install:
	@scripts/install-deps.sh install
	cmake -S . -B $(INSTALL_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
	  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON -DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null
	cmake --build $(INSTALL_BUILD) -j $(JOBS)
	DESTDIR=$(DESTDIR) cmake --install $(INSTALL_BUILD)

# The manifest names the files without DESTDIR; their folders go when empty.
uninstall:
	@test -f $(INSTALL_BUILD)/install_manifest.txt || { echo "nothing installed by make install"; exit 1; }
	sed 's|^|$(DESTDIR)|' $(INSTALL_BUILD)/install_manifest.txt | xargs -d '\n' rm -f
	sed 's|^|$(DESTDIR)|' $(INSTALL_BUILD)/install_manifest.txt | xargs -d '\n' -n1 dirname | sort -u | \
	  xargs -d '\n' rmdir --ignore-fail-on-non-empty

# The Debian packages tavix and printer-driver-tavix, built with debhelper
# into build/deb/ (install them with apt-get install ./build/deb/*.deb).
deb:
	@scripts/install-deps.sh deb
	scripts/build-deb.sh

# The Windows download: build/dist/TAVIXDRV-VERSION-win32.zip.
dist-win32: win32
	scripts/dist-win32.sh

test-dist-win32: win32
	scripts/test-dist-win32.sh

# Builds the packages, checks them with lintian, installs them with apt-get,
# prints through CUPS with them, purges them; and compares `make install`.
# Changes the system (as root): installs and removes the packages.
test-packages:
	scripts/test-packages.sh
