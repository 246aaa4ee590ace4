# Cross build for 64-bit RISC-V Linux (Debian riscv64: RV64GC, lp64d calls)
# with Debian's riscv64-linux-gnu compiler, against a folder of unpacked
# Debian riscv64 packages (of Debian 13, riscv64's first release):
#   cmake -S . -B build/plattform/riscv64/bau \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/riscv64.cmake \
#         -DDBLD_SYSROOT=$PWD/build/plattform/riscv64/sysroot
# Toolchain files are named on the command line, never included by the build.
set(CMAKE_SYSTEM_PROCESSOR riscv64)
set(DBLD_TRIPLET riscv64-linux-gnu)
set(DBLD_MULTIARCH riscv64-linux-gnu)
# Programs of the build run under qemu's user-mode emulation.
set(DBLD_EMULATOR qemu-riscv64 -L ${DBLD_SYSROOT})
include(${CMAKE_CURRENT_LIST_DIR}/debian_cross.cmake)
