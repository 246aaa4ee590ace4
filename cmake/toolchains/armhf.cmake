# Cross build for 32-bit ARM Linux (Debian armhf: ARMv7-A, Thumb-2,
# VFPv3-D16, hard-float calls) with Debian's arm-linux-gnueabihf compiler,
# against a folder of unpacked Debian armhf packages:
#   cmake -S . -B build/plattform/armhf/bau \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/armhf.cmake \
#         -DDBLD_SYSROOT=$PWD/build/plattform/armhf/sysroot
# Toolchain files are named on the command line, never included by the build.
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(DBLD_TRIPLET arm-linux-gnueabihf)
set(DBLD_MULTIARCH arm-linux-gnueabihf)
# GCC notes on ARM that passing some aggregates by value changed in GCC 7.1;
# nothing built here meets code of an older compiler.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)
# Programs of the build run under qemu's user-mode emulation.
set(DBLD_EMULATOR qemu-arm -L ${DBLD_SYSROOT})
include(${CMAKE_CURRENT_LIST_DIR}/debian_cross.cmake)
