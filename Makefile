# Build, test, demo, benchmark and install of the pressure image libraries.
# Everything is built with CMake; this Makefile is the front door.
#   make            the libraries and build/pkgIndex.tcl (for Tcl 8.6
#                   where its headers are installed, else for Tcl 9)
#   make tcl9       the libraries for Tcl 9 and build/tcl9/pkgIndex.tcl, a
#                   build folder of its own
#   make check      the quick check, offline: configure, build, the unit
#                   tests and the Tcl suites of the native build (no
#                   valgrind, sanitizer, Tcl 9, platform or package check)
#   make test       unit and Tcl suites, the Tcl suites and the comparison
#                   driver under Tcl 9 as well, the benchmark programs
#                   compiled (not run), then again under ASan +
#                   UBSan, and the Tcl suites under valgrind; the stubs
#                   build; the same results on every platform
#                   (test-plattform): x86-64 with and without AVX2, Debian
#                   13's C library and Tcl, aarch64, armhf and i386;
#                   install, manual pages and Debian package (test-paket)
#   make test-tsan  the cases of several threads at once under
#                   ThreadSanitizer (build/tsan; part of make test)
#   make demo       the demo on the bundled recordings
#   make viewer     the station view (Tk), VIEWER_ARGS="-aufnahme erzeugt64 file.txt"
#   make anpassung  the fitter's view (Tk, tklib, tcllib, Img),
#                   ANPASSUNG_ARGS="-kalibrierung data/kalibrierung_beispiel.json"
#   make pictures   the pictures of the documentation (doc/bilder/)
#   make bench      the benchmarks
#   make install    PREFIX=/usr/local DESTDIR=
#   make uninstall  removes what the last make install put in place
#   make winkeltabellen  the constant cosines, sines and tangents anew from
#                   this machine's maths library (committed; see the
#                   generator's comment before you do)

MAKEFLAGS += --no-print-directory

PREFIX ?= /usr/local
DESTDIR ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE ?= cmake
CTEST ?= ctest
BUILD := build
SANBUILD := build/san
TSANBUILD := build/tsan
STUBSBUILD := build/stubs
PLATTFORM := build/plattform

.PHONY: winkeltabellen all tcl9 check test test-plain test-san test-tsan test-stubs test-fuzz test-plattform test-paket demo viewer anpassung pictures bench install uninstall clean

all: $(BUILD)/Makefile
	$(CMAKE) --build $(BUILD) -j $(JOBS)

$(BUILD)/Makefile: CMakeLists.txt
	$(CMAKE) -S . -B $(BUILD) -DCMAKE_INSTALL_PREFIX=$(PREFIX)

# The packages for Tcl 9 (build/tcl9/libtcl9<name>.so and its pkgIndex.tcl),
# a build folder of its own: against the installed Tcl 9 (Debian:
# tcl9.0-dev), else against Debian 13's Tcl 9 of the host's architecture,
# unpacked by tests/plattform/sysroot.sh into the folder the platform check
# runs Debian 13's runtime from (one download for both; the host's package
# set stays as it is).  Its comparison driver compares with build/.
TCL9BUILD := $(BUILD)/tcl9
TCL9_SYSROOT := $(abspath $(PLATTFORM)/trixie-amd64/sysroot)
TCL9_INSTALLIERT := $(and $(wildcard /usr/include/tcl9.0/tcl.h),$(shell command -v tclsh9.0))
TCL9_CMAKE = $(CMAKE) -S . -B $(TCL9BUILD) -DCMAKE_INSTALL_PREFIX=$(PREFIX) -DDBLD_TCL=9.0 \
	  -DDBLD_VERGLEICH_BAU=$(abspath $(BUILD))

tcl9:
ifeq ($(TCL9_INSTALLIERT),)
	tests/plattform/sysroot.sh amd64 trixie $(TCL9_SYSROOT) $$(cat tests/plattform/debian13_laufzeit)
	$(TCL9_CMAKE) -DDBLD_TCL9_SYSROOT=$(TCL9_SYSROOT)
else
	$(TCL9_CMAKE) -DDBLD_TCL9_SYSROOT=
endif
	$(CMAKE) --build $(TCL9BUILD) -j $(JOBS)

# Nothing is downloaded: the native build, its unit tests and Tcl suites,
# the benchmark programs compiled; the runs under valgrind and Tcl 9 are
# left to make test.
check:
	$(CMAKE) -S . -B $(BUILD) > /dev/null
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target all testprogramme
	cd $(BUILD) && $(CTEST) --output-on-failure -j $(JOBS) -LE 'valgrind|tcl9'

$(SANBUILD)/Makefile: CMakeLists.txt
	$(CMAKE) -S . -B $(SANBUILD) -DDBLD_SANITIZE=ON

# The fuzzer runs on one processor, beside the package check (whose
# lintian and man checks use one as well).
test: test-plain test-san test-tsan test-stubs test-plattform
	$(MAKE) -j2 test-fuzz test-paket

# The test programs are not part of the default build (the target
# testprogramme builds them); configuring again finds test tools installed
# since the last run (GoogleTest).  Then the packages for Tcl 9 (make tcl9):
# every Tcl suite, the exports and the comparison driver in tclsh9.0.
test-plain:
	$(CMAKE) -S . -B $(BUILD) > /dev/null
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target all testprogramme
	cd $(BUILD) && $(CTEST) --output-on-failure -j $(JOBS)
	$(MAKE) tcl9
	cd $(TCL9BUILD) && $(CTEST) --output-on-failure -j $(JOBS) -L tcl9

test-san: $(SANBUILD)/Makefile
	$(CMAKE) --build $(SANBUILD) -j $(JOBS) --target all testprogramme
	cd $(SANBUILD) && $(CTEST) --output-on-failure -j $(JOBS)

# Several threads at once under ThreadSanitizer: the unit case of six
# threads logging (tests/unit/test_faeden.cpp, a program of its own) and
# the Tcl suite of threads (Thread package) over the three packages it calls,
# in tclsh8.6 with the sanitizer's runtime loaded first (tests/tsan.supp
# leaves Tcl's own code unjudged).  The sanitizer sees a race whether or
# not the threads happen to collide.
$(TSANBUILD)/Makefile: CMakeLists.txt
	$(CMAKE) -S . -B $(TSANBUILD) -DDBLD_TSAN=ON -DDBLD_TCL=8.6

test-tsan: $(TSANBUILD)/Makefile
	$(CMAKE) -S . -B $(TSANBUILD) > /dev/null
	$(CMAKE) --build $(TSANBUILD) -j $(JOBS) --target beckenrotation druckbildanalyse druckbildkennzahlen faeden_tests
	cd $(TSANBUILD) && $(CTEST) --output-on-failure -R '^(faeden_tests|tcl_nebenlaeufig)$$'

# The packages built against Tcl's stubs library, for hosts that open libtcl
# privately: every Tcl suite, the load into Python's tkinter.Tcl() included;
# not the unit tests (the C-level code they test is the same in both builds,
# only the code that talks to Tcl differs) nor the valgrind runs.
$(STUBSBUILD)/Makefile: CMakeLists.txt
	$(CMAKE) -S . -B $(STUBSBUILD) -DDBLD_TCL_STUBS=ON

test-stubs: $(STUBSBUILD)/Makefile
	$(CMAKE) --build $(STUBSBUILD) -j $(JOBS)
	cd $(STUBSBUILD) && $(CTEST) --output-on-failure -j $(JOBS) -LE valgrind -E '^unit_tests$$'

# libFuzzer on the text format reader (clang, ASan + UBSan), outside the
# CMake tree: FUZZ_TIME seconds on a copy of the seed corpus in build/fuzz.
#   make test-fuzz FUZZ_TIME=3600   for a longer run
CLANGXX ?= clang++
FUZZ_TIME ?= 30
FUZZ := $(BUILD)/fuzz
FUZZ_QUELLEN := tests/fuzz/fuzz_dbld_get.cpp druckmessung/dbld.cpp \
	druckmessung/dbld_utils.cpp druckmessung/dbld_text.cpp

test-fuzz:
	mkdir -p $(FUZZ)/corpus_dbld_get
	$(CLANGXX) -std=c++17 -g -O1 -ffp-contract=off -Wall -Wextra \
	  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
	  -Idruckmessung $(FUZZ_QUELLEN) -o $(FUZZ)/fuzz_dbld_get
	cp tests/fuzz/corpus_dbld_get/* $(FUZZ)/corpus_dbld_get/
	$(FUZZ)/fuzz_dbld_get -max_total_time=$(FUZZ_TIME) -max_len=4096 \
	  -close_fd_mask=3 -print_final_stats=1 -artifact_prefix=$(FUZZ)/ \
	  $(FUZZ)/corpus_dbld_get

# The platforms the stations run, in $(PLATTFORM): Debian's packages of each
# unpacked there (arm64, armhf, i386 and s390x of the host's release, amd64
# and riscv64 of Debian 13), the cross builds for aarch64, armhf and i386
# with their unit tests and Tcl suites (under qemu-aarch64 and qemu-arm,
# i386 natively through its own loader), those for riscv64 and s390x
# (big-endian) for the comparison only (under qemu-riscv64 and qemu-s390x), the native build's suites with Debian 13's C
# library and Tcl, the instruction checks (no fused multiply-add, no x87
# arithmetic, the SSE2 check on i386), and the results of every command on
# a few hundred frames byte for byte alike on all of them and under
# qemu-x86_64 -cpu qemu64 (no AVX2): tests/plattform/plattform.sh.
test-plattform: all
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target testprogramme
	JOBS=$(JOBS) tests/plattform/plattform.sh $(BUILD) $(PLATTFORM)

# make install / uninstall into build/paket, the manual pages, and the
# Debian package built from the tracked files with lintian on it
# (tests/paket/paket.sh).
test-paket: all
	JOBS=$(JOBS) tests/paket/paket.sh $(BUILD)

demo: all
	tclsh8.6 demo/demo.tcl $(BUILD)

# wish8.6 with the Img package (Debian: tk8.6, libtk-img) on the display.
VIEWER_ARGS ?=
viewer: all
	wish8.6 demo/station.tcl -build $(BUILD) $(VIEWER_ARGS)

ANPASSUNG_ARGS ?=
anpassung: all
	wish8.6 demo/anpassung.tcl -build $(BUILD) $(ANPASSUNG_ARGS)

# Renderings with tclsh8.6, the viewer's picture under xvfb-run.
pictures: all
	tclsh8.6 demo/bilder.tcl $(BUILD)

bench: $(BUILD)/Makefile
	$(CMAKE) -S . -B $(BUILD) -DDBLD_BENCH=ON
	$(CMAKE) --build $(BUILD) -j $(JOBS)
	tclsh8.6 bench/bench.tcl $(BUILD)

# With build/tcl9 (make tcl9) its modules too, and one index over both.
install: all
	DESTDIR=$(DESTDIR) $(CMAKE) --install $(BUILD) --prefix $(PREFIX)
	if [ -f $(TCL9BUILD)/Makefile ]; then $(CMAKE) --build $(TCL9BUILD) -j $(JOBS) && \
	  DESTDIR=$(DESTDIR) $(CMAKE) --install $(TCL9BUILD) --prefix $(PREFIX) --component module; fi

# The files of the last install from $(BUILD) and build/tcl9
# (install_manifest*.txt, below the same DESTDIR) and the project's own
# folders left empty.
uninstall:
	DESTDIR=$(DESTDIR) $(CMAKE) --build $(BUILD) --target uninstall
	if [ -f $(TCL9BUILD)/install_manifest_module.txt ]; then \
	  DESTDIR=$(DESTDIR) $(CMAKE) --build $(TCL9BUILD) --target uninstall; fi

winkeltabellen:
	mkdir -p $(BUILD)
	$(CXX) -std=c++17 -O2 -ffp-contract=off -Wall -Wextra \
	  tools/winkeltabellen/winkeltabellen.cpp -o $(BUILD)/winkeltabellen
	$(BUILD)/winkeltabellen > druckmessung/dbld_winkeltabellen.h

clean:
	rm -rf $(BUILD)
