# make test: installs what is missing, builds both builds, runs every test.
# make demo: the main job, shown under Wine.
# make dist: the release (installer, zip, sums) in $(BUILD)/dist; signed when
# SIGN_KEY and SIGN_CERT name a key and its certificate (PEM).
BUILD ?= build
JOBS ?= 2
# win32 where this machine runs 32-bit code, else win64.
WINE_ARCH := $(shell tools/wine-arch)
# The build whose programs the demo and the benchmarks run.
WINTEST := $(BUILD)/$(WINE_ARCH)
# Both libraries ship, so the Windows tests run in every build this machine
# can execute: the 64-bit one always, the 32-bit one where 32-bit code runs
# (elsewhere in an emulated 32-bit machine, make test32).
WINTESTS := $(if $(filter win32,$(WINE_ARCH)),win32 win64,win64)
TOOLCHAIN_win32 := cmake/toolchain-mingw-i686.cmake
TOOLCHAIN_win64 := cmake/toolchain-mingw-x86_64.cmake

.PHONY: all deps host win32 win64 test test-host test-windows test32 demo dist test-dist bench stress fuzz clean

all: host win32

deps:
	tools/install-deps

host: deps
	cmake -S . -B $(BUILD)/host -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD)/host -j $(JOBS)

win32 win64: deps
	cmake -S . -B $(BUILD)/$@ -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN_$@) >/dev/null
	cmake --build $(BUILD)/$@ -j $(JOBS)

# Where this machine cannot run 32-bit code, the shipped 32-bit build's Windows
# tests run in an emulated 32-bit machine (make test32); where it can, the
# shipped x86 installer is tested too (make test-dist).
test: test-host test-windows $(if $(filter win64,$(WINE_ARCH)),test32,test-dist)

test-host: host
	cd $(BUILD)/host && ctest --output-on-failure -j $(JOBS)

test-windows: win32 win64
	@[ "$(WINE_ARCH)" = win32 ] || echo "note: this machine cannot run 32-bit code; the 32-bit library is checked as a file here and run in make test32"
	@# The 32-bit product is always checked as a file, even where it cannot run.
	[ "$(WINE_ARCH)" = win32 ] || (cd $(BUILD)/win32 && ctest -L dll-file --output-on-failure)
	set -e; for arch in $(WINTESTS); do \
	  echo "== Windows tests of the $$arch build"; \
	  tools/wine-prefix $(BUILD)/$$arch $$arch; \
	  tools/with-display tools/run-ctest $(BUILD)/$$arch $$arch $(JOBS); \
	done

# The 32-bit lane alone: the win32 build's Windows tests and the demo flow
# under 32-bit Wine in an emulated machine (tools/emu32; made once, cached).
test32: win32
	tools/install-deps emu32
	tools/emu32/lane $(BUILD)

demo: win32 $(WINE_ARCH)
	tools/with-display tools/run-demo $(WINTEST) $(WINE_ARCH)

# The release: the x86 installer (which carries both libraries), a zip of both
# libraries and SHA256SUMS, from the two Windows builds.
dist: win32 win64
	tools/make-dist $(BUILD)

# The installer test on the shipped x86 installer, in a 64-bit prefix as on
# 64-bit Windows, where it installs both libraries; the release is built again
# signed with a throwaway certificate, and every signature is checked against
# it. Needs a machine that runs 32-bit code.
test-dist: dist
	@[ "$(WINE_ARCH)" = win32 ] || { echo "test-dist: this machine cannot run 32-bit code"; exit 1; }
	tests/win32/dist-signing-test $(BUILD) $(BUILD)/dist-signed
	QUILLET_SIGNED_BY=$(BUILD)/dist-signed/cert.pem tools/with-display tests/win32/installer-test $(BUILD)/dist-test win64 \
	  $(BUILD)/dist-signed/dist/quillet-setup-$(shell tools/quillet-version).exe \
	  $(BUILD)/win32/tests/win32/quillet-setup-refusing.exe $(BUILD)/win32/tools/iexplore.exe \
	  $(BUILD)/win32/tests/win32/installed_help_test.exe \
	  'C:\Program Files (x86)\Kestrowe\Quillet=$(BUILD)/dist-signed/dist-files/x86' \
	  'C:\Program Files\Kestrowe\Quillet=$(BUILD)/dist-signed/dist-files/x64'

# Benchmarks: an optimised host build without sanitizers, then Enter and the
# browser stand-in under Wine; a missing figure fails the target. Everything
# runs on one CPU (the programs, wineserver and Xvfb): on two, a timing swings
# with the CPU each thread lands on.
bench: deps $(WINE_ARCH)
	cmake -S . -B $(BUILD)/bench -DCMAKE_BUILD_TYPE=Release -DQUILLET_SANITIZE=OFF >/dev/null
	cmake --build $(BUILD)/bench -j $(JOBS) --target quillet_bench
	taskset -c 0 $(BUILD)/bench/bench/quillet_bench
	tools/wine-prefix $(WINTEST) $(WINE_ARCH)
	WINEPREFIX=$(abspath $(WINTEST))/wineprefix wineserver -k 2>/dev/null || true
	taskset -c 0 tools/with-display tools/run-windows-bench $(WINTEST) $(WINE_ARCH)

# make stress: many browser windows on many threads against the built
# library for STRESS_SECONDS (make test runs it for 40 s), with the figures
# of handles and private bytes per 1000 window lifetimes.
STRESS_SECONDS ?= 600
stress: $(WINE_ARCH)
	tools/wine-prefix $(WINTEST) $(WINE_ARCH)
	tools/with-display env QUILLET_TIMEOUT=$$(( $(STRESS_SECONDS) + 120 )) tools/wine-run $(abspath $(WINTEST))/wineprefix \
	  $(if $(filter win64,$(WINE_ARCH)),wine64,wine) $(WINTEST)/tests/win32/stress_iexplore.exe $(STRESS_SECONDS)
	WINEPREFIX=$(abspath $(WINTEST))/wineprefix wineserver -k 2>/dev/null || true

# make fuzz: every fuzz target under libFuzzer (clang, with the address and
# undefined-behaviour sanitizers), for FUZZ_SECONDS each, or for FUZZ_RUNS
# inputs each when that is set. A target's working corpus is
# $(BUILD)/fuzz/corpus/<target>, seeded from fuzz/corpus/<target>; what a
# target finds is written to $(BUILD)/fuzz/findings/.
FUZZ_SECONDS ?= 300
FUZZ_RUNS ?=
# (engine_list is no libFuzzer target: the list file is read by the platform,
# so its corpus is replayed under Wine by the Windows tests.)
FUZZ_TARGETS ?= chain format autosearch settings engine_names script
fuzz:
	tools/install-deps fuzz
	cmake -S . -B $(BUILD)/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ -DQUILLET_FUZZ=ON >/dev/null
	cmake --build $(BUILD)/fuzz -j $(JOBS) --target fuzz_targets
	mkdir -p $(BUILD)/fuzz/findings
	for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(BUILD)/fuzz/corpus/$$t && \
	  $(BUILD)/fuzz/fuzz/$${t}_fuzz $(if $(FUZZ_RUNS),-runs=$(FUZZ_RUNS),-max_total_time=$(FUZZ_SECONDS)) \
	    -max_len=10240 -print_final_stats=1 -artifact_prefix=$(BUILD)/fuzz/findings/$$t- \
	    $(BUILD)/fuzz/corpus/$$t fuzz/corpus/$$t || exit 1; \
	done

clean:
	rm -rf $(BUILD)
