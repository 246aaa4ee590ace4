# Cross build for 32-bit x86 Linux (Debian i386) with Debian's
# i686-linux-gnu compiler, against a folder of unpacked Debian i386
# packages:
#   cmake -S . -B build/plattform/i386/bau \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/i386.cmake \
#         -DDBLD_SYSROOT=$PWD/build/plattform/i386/sysroot
# CMakeLists.txt adds -msse2 -mfpmath=sse for this processor (floats rounded
# as floats, not in the x87 registers).  Toolchain files are named on the
# command line, never included by the build.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(DBLD_TRIPLET i686-linux-gnu)
set(DBLD_MULTIARCH i386-linux-gnu)
# An x86-64 Linux kernel runs the programs natively; the folder's own loader
# starts them with the folder's libraries (Debian 12 keeps them in /lib,
# later releases in /usr/lib).
foreach(d lib usr/lib)
  if(EXISTS ${DBLD_SYSROOT}/${d}/ld-linux.so.2)
    set(DBLD_EMULATOR ${DBLD_SYSROOT}/${d}/ld-linux.so.2 --library-path
        ${DBLD_SYSROOT}/lib/i386-linux-gnu:${DBLD_SYSROOT}/usr/lib/i386-linux-gnu)
    break()
  endif()
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/debian_cross.cmake)
