# How a Tcl extension module of the project is made, and the package index.
# A build folder builds the packages for one Tcl (DBLD_TCL_AKTIV, see
# CMakeLists.txt); everything that talks to Tcl links dbld_tcl.

# Usage requirements of everything that includes tcl.h: Tcl's headers, and
# in the stubs build every Tcl call through the stubs table.
add_library(dbld_tcl INTERFACE)
target_include_directories(dbld_tcl INTERFACE ${TCL_INCLUDE_DIR})
if(DBLD_TCL_STUBS)
  target_compile_definitions(dbld_tcl INTERFACE USE_TCL_STUBS)
  target_compile_options(dbld_tcl INTERFACE
                         -include ${PROJECT_SOURCE_DIR}/druckmessung/dbld_tclstubs.h)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/dbld_indexdatei.cmake)

# dbld_paket(<target> PAKET <name> VERSION <version> SOURCES <files...>
#            LINK <object libraries...>)
# The module of package <name> <version> in the build folder:
# lib<target>.so for Tcl 8.6, libtcl9<target>.so for Tcl 9 (Tcl 9's
# naming, so that both can lie in one folder).  Its own sources and the
# objects of the shared pieces it contains (linked explicitly, so every
# name they export stays in the module); name and version go to its entry
# as compile definitions (DBLD_PAKET_EINSTIEG, dbld_paket.h).  Its exports
# are <name>_Init, Tcl_Init and the names of DBLD_EXPORTE_<target>
# (cmake/dbld_exporte.cmake), its version script written from them: those
# names global (the link fails on one the module does not define), C++
# names local; the exports test checks the module against the same names.
# libtcl is not linked (the stubs build links only Tcl's static stubs
# library).
function(dbld_paket target)
  cmake_parse_arguments(P "" "PAKET;VERSION" "SOURCES;LINK" ${ARGN})
  if(NOT DEFINED DBLD_EXPORTE_${target})
    message(FATAL_ERROR "${target}: no DBLD_EXPORTE_${target} in cmake/dbld_exporte.cmake")
  endif()
  set(exporte ${P_PAKET}_Init Tcl_Init ${DBLD_EXPORTE_${target}})
  list(JOIN exporte ";\n    " global)
  set(skript ${CMAKE_BINARY_DIR}/exporte/${target}.map)
  file(CONFIGURE OUTPUT ${skript} CONTENT
       "/* ${target}: the names of cmake/dbld_exporte.cmake; C++ names stay local. */\n{\n  global:\n    ${global};\n  local:\n    _Z*;\n};\n")
  add_library(${target} SHARED ${P_SOURCES})
  target_link_libraries(${target} PRIVATE ${P_LINK} dbld_tcl)
  if(DBLD_TCL_STUBS)
    target_link_libraries(${target} PRIVATE ${TCL_STUB_LIBRARY})
  endif()
  set_target_properties(${target} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
    LINK_DEPENDS ${skript}
    DBLD_PAKET ${P_PAKET}
    DBLD_VERSION ${P_VERSION}
    DBLD_EXPORTE "${exporte}")
  if(DBLD_TCL9_AKTIV)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME tcl9${target})
  endif()
  target_link_options(${target} PRIVATE -Wl,--version-script=${skript}
                      -Wl,--no-undefined-version)
  target_compile_definitions(${target} PRIVATE DBLD_PAKET_NAME="${P_PAKET}"
                             DBLD_PAKET_VERSION="${P_VERSION}" DBLD_PAKET_INIT=${P_PAKET}_Init)
  install(TARGETS ${target} LIBRARY DESTINATION ${DBLD_TCL_PAKETORDNER} COMPONENT module)
endfunction()

# dbld_tcl_objekte(<target> SOURCES <files...> [INCLUDE <folders...>]
#                  [LINK <libraries...>]): an object library of sources
# that talk to Tcl (the shared glue, the commands).  INCLUDE are its public
# include folders, LINK its public dependencies.
function(dbld_tcl_objekte target)
  cmake_parse_arguments(O "" "" "SOURCES;INCLUDE;LINK" ${ARGN})
  add_library(${target} OBJECT ${O_SOURCES})
  target_link_libraries(${target} PUBLIC dbld_tcl ${O_LINK})
  if(O_INCLUDE)
    target_include_directories(${target} PUBLIC ${O_INCLUDE})
  endif()
endfunction()

# dbld_paketindex(<targets...>): build/pkgIndex.tcl over the build folder's
# modules, for its Tcl.  The install puts into the package folder an index
# over the modules the folder then holds, for Tcl 8.6, Tcl 9 or both
# (build/paketindex_installieren.cmake), so that the modules of a build
# folder for Tcl 8.6 and of one for Tcl 9 installed into one place have one
# index.
function(dbld_paketindex)
  set(DBLD_INDEX_PAKETE)
  foreach(target ${ARGN})
    get_target_property(name ${target} DBLD_PAKET)
    get_target_property(version ${target} DBLD_VERSION)
    list(APPEND DBLD_INDEX_PAKETE ${name} ${version} ${target})
  endforeach()
  dbld_indexdatei(${CMAKE_BINARY_DIR}/pkgIndex.tcl ${DBLD_TCL_AKTIV} ${DBLD_INDEX_PAKETE})
  set(DBLD_INDEX_MODUL ${PROJECT_SOURCE_DIR}/cmake/dbld_indexdatei.cmake)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/paketindex_installieren.cmake.in
                 ${CMAKE_BINARY_DIR}/paketindex_installieren.cmake @ONLY)
  install(SCRIPT ${CMAKE_BINARY_DIR}/paketindex_installieren.cmake COMPONENT module)
endfunction()
