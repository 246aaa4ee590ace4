# Cross build for 64-bit ARM Linux with Debian's aarch64-linux-gnu compiler,
# against a folder of unpacked Debian arm64 packages (Tcl 8.6, libjpeg,
# GoogleTest) as made by tests/plattform/sysroot.sh:
#   cmake -S . -B build/arm64/bau -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/aarch64.cmake \
#         -DDBLD_SYSROOT=$PWD/build/arm64/sysroot
# The project's own flags apply unchanged (-ffp-contract=off, no fast-math).
# Toolchain files are named on the command line, never included by the build.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
# GCC notes on aarch64 that passing some pairs by value changed in GCC 10;
# nothing built here meets code of an older compiler.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)

# CMake reads this file again for its own test builds: hand the folder on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES DBLD_SYSROOT)
if(NOT DBLD_SYSROOT OR NOT IS_DIRECTORY "${DBLD_SYSROOT}/usr/include")
  message(FATAL_ERROR "DBLD_SYSROOT must name the folder of the unpacked arm64 packages")
endif()

# Headers, libraries and package files from that folder only (the C and C++
# runtime come with the cross compiler); programs are the host's.
set(CMAKE_FIND_ROOT_PATH ${DBLD_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Debian keeps architecture-dependent headers (libjpeg's jconfig.h) apart.
set(CMAKE_C_STANDARD_INCLUDE_DIRECTORIES ${DBLD_SYSROOT}/usr/include/aarch64-linux-gnu)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${DBLD_SYSROOT}/usr/include/aarch64-linux-gnu)

# Programs of the build run under qemu's user-mode emulation.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L ${DBLD_SYSROOT})
