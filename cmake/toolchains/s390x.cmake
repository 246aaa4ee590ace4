# Cross build for IBM Z Linux (Debian s390x, big-endian) with Debian's
# s390x-linux-gnu compiler, against a folder of unpacked Debian s390x
# packages:
#   cmake -S . -B build/plattform/s390x/bau \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/s390x.cmake \
#         -DDBLD_SYSROOT=$PWD/build/plattform/s390x/sysroot
# Toolchain files are named on the command line, never included by the build.
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(DBLD_TRIPLET s390x-linux-gnu)
set(DBLD_MULTIARCH s390x-linux-gnu)
# Programs of the build run under qemu's user-mode emulation.
set(DBLD_EMULATOR qemu-s390x -L ${DBLD_SYSROOT})
include(${CMAKE_CURRENT_LIST_DIR}/debian_cross.cmake)
