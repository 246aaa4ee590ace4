# Build, test, demo, benchmark and install of the pressure image libraries.
# Everything is built with CMake; this Makefile is the front door.
#   make            the libraries and build/pkgIndex.tcl
#   make test       unit and Tcl suites, then again under ASan + UBSan,
#                   and the Tcl suites under valgrind
#   make demo       the demo on the bundled recordings
#   make bench      the benchmarks
#   make install    PREFIX=/usr/local DESTDIR=

PREFIX ?= /usr/local
DESTDIR ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE ?= cmake
CTEST ?= ctest
BUILD := build
SANBUILD := build/san

.PHONY: all test test-plain test-san demo bench install clean

all: $(BUILD)/Makefile
	$(CMAKE) --build $(BUILD) -j $(JOBS)

$(BUILD)/Makefile: CMakeLists.txt
	$(CMAKE) -S . -B $(BUILD) -DCMAKE_INSTALL_PREFIX=$(PREFIX)

$(SANBUILD)/Makefile: CMakeLists.txt
	$(CMAKE) -S . -B $(SANBUILD) -DDBLD_SANITIZE=ON

test: test-plain test-san

test-plain: all
	cd $(BUILD) && $(CTEST) --output-on-failure -j $(JOBS)

test-san: $(SANBUILD)/Makefile
	$(CMAKE) --build $(SANBUILD) -j $(JOBS)
	cd $(SANBUILD) && $(CTEST) --output-on-failure -j $(JOBS)

demo: all
	tclsh8.6 demo/demo.tcl $(BUILD)

bench: $(BUILD)/Makefile
	$(CMAKE) -S . -B $(BUILD) -DDBLD_BENCH=ON
	$(CMAKE) --build $(BUILD) -j $(JOBS)
	tclsh8.6 bench/bench.tcl $(BUILD)

install: all
	DESTDIR=$(DESTDIR) $(CMAKE) --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD)
