# How a Tcl extension module of the project is made, and the package index.

# The packages are built for each Tcl of DBLD_TCL_VARIANTEN: dbld_tcl (Tcl
# 8.6) and, with Tcl 9 (DBLD_TCL9_AKTIV), dbld_tcl9.  Everything that talks
# to Tcl is compiled once per Tcl; the pieces that do not (core,
# evaluations, rendering, cipher) once, their very objects linked into the
# modules for both.

# dbld_variante(<name var> <link var> <target> <tcl> <libraries...>): the
# target's name for the Tcl (<target>, or <target>_tcl9 for Tcl 9) and the
# libraries it links: for Tcl 9 each library's twin <library>_tcl9 where it
# has one.
function(dbld_variante name_var link_var target tcl)
  if(tcl STREQUAL "dbld_tcl")
    set(${name_var} ${target} PARENT_SCOPE)
    set(${link_var} ${ARGN} PARENT_SCOPE)
    return()
  endif()
  set(link)
  foreach(bibliothek ${ARGN})
    if(TARGET ${bibliothek}_tcl9)
      list(APPEND link ${bibliothek}_tcl9)
    else()
      list(APPEND link ${bibliothek})
    endif()
  endforeach()
  set(${name_var} ${target}_tcl9 PARENT_SCOPE)
  set(${link_var} ${link} PARENT_SCOPE)
endfunction()

# dbld_paket(<target> PAKET <name> VERSION <version> SOURCES <files...>
#            LINK <object libraries...>)
# The module build/lib<target>.so of package <name> <version>: its own
# sources and the objects of the shared pieces it contains (linked
# explicitly, so every name they export stays in the module).  Its exports
# are <name>_Init, Tcl_Init and the names of DBLD_EXPORTE_<target>
# (cmake/dbld_exporte.cmake), its version script written from them: those
# names global (the link fails on one the module does not define), C++
# names local; the exports test checks the module against the same names.
# libtcl is not linked (the stubs build links only Tcl's static stubs
# library).  With Tcl 9 also the module
# build/tcl9/libtcl9<target>.so (target <target>_tcl9), Tcl 9's naming, so
# that both can lie in one folder.
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
  foreach(tcl ${DBLD_TCL_VARIANTEN})
    dbld_variante(modul link ${target} ${tcl} ${P_LINK})
    add_library(${modul} SHARED ${P_SOURCES})
    target_link_libraries(${modul} PRIVATE ${link} ${tcl})
    set_target_properties(${modul} PROPERTIES
      LINK_DEPENDS ${skript}
      DBLD_PAKET ${P_PAKET}
      DBLD_VERSION ${P_VERSION}
      DBLD_EXPORTE "${exporte}")
    target_link_options(${modul} PRIVATE -Wl,--version-script=${skript}
                        -Wl,--no-undefined-version)
    # the entry's name, package and version (DBLD_PAKET_EINSTIEG, dbld_paket.h)
    target_compile_definitions(${modul} PRIVATE DBLD_PAKET_NAME="${P_PAKET}"
                               DBLD_PAKET_VERSION="${P_VERSION}" DBLD_PAKET_INIT=${P_PAKET}_Init)
    install(TARGETS ${modul} LIBRARY DESTINATION ${DBLD_TCL_PAKETORDNER})
  endforeach()
  if(DBLD_TCL86_AKTIV)
    set_target_properties(${target} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
    if(DBLD_TCL_STUBS)
      target_link_libraries(${target} PRIVATE ${TCL_STUB_LIBRARY})
    endif()
  endif()
  if(DBLD_TCL9_AKTIV)
    set_target_properties(${target}_tcl9 PROPERTIES
      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tcl9
      OUTPUT_NAME tcl9${target})
    add_dependencies(tcl9 ${target}_tcl9)
  endif()
endfunction()

# dbld_tcl_objekte(<target> SOURCES <files...> [INCLUDE <folders...>]
#                  [LINK <libraries...>]): an object library of sources
# that talk to Tcl (the shared glue, the commands), per Tcl: Tcl's headers,
# and in the stubs build every Tcl call through the stubs table.  INCLUDE
# are its public include folders, LINK its public dependencies.
function(dbld_tcl_objekte target)
  cmake_parse_arguments(O "" "" "SOURCES;INCLUDE;LINK" ${ARGN})
  foreach(tcl ${DBLD_TCL_VARIANTEN})
    dbld_variante(name link ${target} ${tcl} ${O_LINK})
    add_library(${name} OBJECT ${O_SOURCES})
    target_link_libraries(${name} PUBLIC ${tcl} ${link})
    if(O_INCLUDE)
      target_include_directories(${name} PUBLIC ${O_INCLUDE})
    endif()
  endforeach()
endfunction()

# A package index from cmake/pkgIndex.tcl.in over the given packages (their
# targets): for Tcl 9.x each package's module libtcl9<target>.so, for Tcl
# 8.6 and later 8.x its lib<target>.so, as their entries require; the
# index returns at once in a Tcl other than those named in tcls, so that
# such an interpreter finds no package here instead of a module that is not
# here or that it cannot load.
function(dbld_indexdatei datei tcls)
  set(DBLD_INDEX_TCLS ${tcls})
  set(DBLD_INDEX_TCL9)
  set(DBLD_INDEX_TCL86)
  foreach(target ${ARGN})
    get_target_property(name ${target} DBLD_PAKET)
    get_target_property(version ${target} DBLD_VERSION)
    string(REGEX REPLACE "_tcl9$" "" datei_name ${target})
    foreach(tcl TCL9 TCL86)
      set(vorsatz)
      if(tcl STREQUAL TCL9)
        set(vorsatz tcl9)
      endif()
      string(APPEND DBLD_INDEX_${tcl} "    package ifneeded ${name} ${version} "
             "[list load [file join $dir lib${vorsatz}${datei_name}.so] ${name}]\n")
    endforeach()
  endforeach()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/pkgIndex.tcl.in ${datei} @ONLY)
endfunction()

# build/pkgIndex.tcl over the modules for Tcl 8.6 and, with Tcl 9,
# build/tcl9/pkgIndex.tcl over those for Tcl 9; the package folder of the
# installation gets one index over both (kept in build/ under another name:
# Tcl looks for pkgIndex.tcl in the subfolders of a folder on its path).
function(dbld_paketindex)
  set(tcls)
  if(DBLD_TCL86_AKTIV)
    list(APPEND tcls 8.6)
    set(ziele ${ARGN})
    dbld_indexdatei(${CMAKE_BINARY_DIR}/pkgIndex.tcl 8.6 ${ARGN})
  endif()
  if(DBLD_TCL9_AKTIV)
    list(APPEND tcls 9.0)
    list(TRANSFORM ARGN APPEND _tcl9 OUTPUT_VARIABLE ziele)
    dbld_indexdatei(${CMAKE_BINARY_DIR}/tcl9/pkgIndex.tcl 9.0 ${ziele})
  endif()
  list(JOIN tcls " " tcls)
  dbld_indexdatei(${CMAKE_BINARY_DIR}/pkgIndex_installiert.tcl "${tcls}" ${ziele})
  install(FILES ${CMAKE_BINARY_DIR}/pkgIndex_installiert.tcl DESTINATION ${DBLD_TCL_PAKETORDNER}
          RENAME pkgIndex.tcl)
endfunction()

# Usage requirements of everything that includes tcl.h.
if(DBLD_TCL86_AKTIV)
  add_library(dbld_tcl INTERFACE)
  target_include_directories(dbld_tcl INTERFACE ${TCL_INCLUDE_DIR})
  if(DBLD_TCL_STUBS)
    target_compile_definitions(dbld_tcl INTERFACE USE_TCL_STUBS)
    target_compile_options(dbld_tcl INTERFACE
                           -include ${PROJECT_SOURCE_DIR}/druckmessung/dbld_tclstubs.h)
  endif()
endif()

# The same for Tcl 9's headers (the Tcl 9 twins of the modules and glue).
if(DBLD_TCL9_AKTIV)
  add_library(dbld_tcl9 INTERFACE)
  target_include_directories(dbld_tcl9 INTERFACE ${TCL9_INCLUDE_DIR})
endif()
