# Shared part of the toolchain files for Debian's cross compilers: the
# including file sets CMAKE_SYSTEM_PROCESSOR, DBLD_TRIPLET (the prefix of
# the compiler's name, such as aarch64-linux-gnu), DBLD_MULTIARCH (Debian's
# folder name of the architecture's libraries and headers; i386-linux-gnu
# for i686-linux-gnu) and may set
# DBLD_EMULATOR (the command that runs the target's programs on this host).
# Headers, libraries and package files come from DBLD_SYSROOT, a folder of
# unpacked Debian packages of the target (Tcl 8.6, libjpeg, GoogleTest) as
# made by tests/plattform/sysroot.sh; the C and C++ runtime come with the
# cross compiler.  The project's own flags apply unchanged
# (-ffp-contract=off, no fast-math; on 32-bit x86 also -msse2 -mfpmath=sse).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${DBLD_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${DBLD_TRIPLET}-g++)

# CMake reads the toolchain file again for its own test builds: hand the
# folder on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES DBLD_SYSROOT)
if(NOT DBLD_SYSROOT OR NOT IS_DIRECTORY "${DBLD_SYSROOT}/usr/include")
  message(FATAL_ERROR "DBLD_SYSROOT must name the folder of the unpacked "
                      "${CMAKE_SYSTEM_PROCESSOR} packages")
endif()

set(CMAKE_FIND_ROOT_PATH ${DBLD_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Debian keeps architecture-dependent headers (libjpeg's jconfig.h) and the
# libraries in folders of the architecture's name.
set(CMAKE_LIBRARY_ARCHITECTURE ${DBLD_MULTIARCH})
set(CMAKE_C_STANDARD_INCLUDE_DIRECTORIES ${DBLD_SYSROOT}/usr/include/${DBLD_MULTIARCH})
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${DBLD_SYSROOT}/usr/include/${DBLD_MULTIARCH})

if(DBLD_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DBLD_EMULATOR})
endif()
