# Cross build for 64-bit ARM Linux with Debian's aarch64-linux-gnu compiler,
# against a folder of unpacked Debian arm64 packages:
#   cmake -S . -B build/plattform/arm64/bau \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/aarch64.cmake \
#         -DDBLD_SYSROOT=$PWD/build/plattform/arm64/sysroot
# Toolchain files are named on the command line, never included by the build.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(DBLD_TRIPLET aarch64-linux-gnu)
set(DBLD_MULTIARCH aarch64-linux-gnu)
# GCC notes on aarch64 that passing some pairs by value changed in GCC 10;
# nothing built here meets code of an older compiler.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)
# Programs of the build run under qemu's user-mode emulation.
set(DBLD_EMULATOR qemu-aarch64 -L ${DBLD_SYSROOT})
include(${CMAKE_CURRENT_LIST_DIR}/debian_cross.cmake)
