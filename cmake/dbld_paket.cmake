# How a Tcl extension module of the project is made, and the package index.

# dbld_paket(<target> PAKET <name> VERSION <version> SOURCES <files...>
#            LINK <object libraries...> EXPORTS <names...>)
# The module build/lib<target>.so of package <name> <version>: its own
# sources and the objects of the shared pieces it contains (linked
# explicitly, so every name they export stays in the module).  EXPORTS are
# the names the module must export beyond its entry and the core's names
# (checked by the tests).  Exports are limited to the plain C names
# (exports.map); libtcl is not linked (the stubs build links only Tcl's
# static stubs library).
function(dbld_paket target)
  cmake_parse_arguments(P "" "PAKET;VERSION" "SOURCES;LINK;EXPORTS" ${ARGN})
  add_library(${target} SHARED ${P_SOURCES})
  target_link_libraries(${target} PRIVATE ${P_LINK} dbld_tcl)
  set_target_properties(${target} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
    LINK_DEPENDS ${DBLD_DIR}/exports.map
    DBLD_PAKET ${P_PAKET}
    DBLD_VERSION ${P_VERSION}
    DBLD_EXPORTE "${P_EXPORTS}")
  target_link_options(${target} PRIVATE -Wl,--version-script=${DBLD_DIR}/exports.map)
  if(DBLD_TCL_STUBS)
    target_link_libraries(${target} PRIVATE ${TCL_STUB_LIBRARY})
  endif()
  install(TARGETS ${target} LIBRARY DESTINATION ${DBLD_TCL_PAKETORDNER})
endfunction()

# dbld_tcl_objekte(<target> <files...>): an object library of sources that
# talk to Tcl (the shared glue, the commands): Tcl's headers, and in the
# stubs build every Tcl call through the stubs table.
function(dbld_tcl_objekte target)
  add_library(${target} OBJECT ${ARGN})
  target_link_libraries(${target} PUBLIC dbld_tcl)
endfunction()

# The Tcl versions the modules serve, each as a requirement of "package
# vsatisfies" followed by the name of a package's module file built for it
# (<name> stands for the target).  A build for another Tcl adds its pair;
# the first pair the running Tcl satisfies gives the files it loads.
set(DBLD_TCL_BAUARTEN "8.6" "lib<name>.so")

# build/pkgIndex.tcl: returns at once in a Tcl that no pair serves, so that
# such an interpreter finds no package here instead of a module it cannot
# load; otherwise one "package ifneeded" per package module.
function(dbld_paketindex)
  list(LENGTH DBLD_TCL_BAUARTEN n)
  math(EXPR letzte "${n} - 2")
  # One pair: the lines as they are; several: one branch per pair.
  set(einzug "")
  if(n GREATER 2)
    set(einzug "    ")
  endif()
  set(anforderungen "")
  set(zweige "")
  foreach(i RANGE 0 ${letzte} 2)
    math(EXPR j "${i} + 1")
    list(GET DBLD_TCL_BAUARTEN ${i} anforderung)
    list(GET DBLD_TCL_BAUARTEN ${j} muster)
    string(APPEND anforderungen " ${anforderung}")
    if(n GREATER 2)
      if(i EQUAL 0)
        string(APPEND zweige "if")
      else()
        string(APPEND zweige "} elseif")
      endif()
      string(APPEND zweige " {[package vsatisfies [package provide Tcl] ${anforderung}]} {\n")
    endif()
    foreach(target ${ARGN})
      get_target_property(name ${target} DBLD_PAKET)
      get_target_property(version ${target} DBLD_VERSION)
      string(REPLACE "<name>" "${target}" datei "${muster}")
      string(APPEND zweige "${einzug}package ifneeded ${name} ${version} "
             "[list load [file join \$dir ${datei}] ${name}]\n")
    endforeach()
  endforeach()
  if(n GREATER 2)
    string(APPEND zweige "}\n")
  endif()
  file(WRITE ${CMAKE_BINARY_DIR}/pkgIndex.tcl
       "# Tcl package index of the pressure image libraries "
       "(druckmessung ${PROJECT_VERSION}).\n"
       "if {![package vsatisfies [package provide Tcl]${anforderungen}]} {return}\n"
       "${zweige}")
  install(FILES ${CMAKE_BINARY_DIR}/pkgIndex.tcl DESTINATION ${DBLD_TCL_PAKETORDNER})
endfunction()

# Usage requirements of everything that includes tcl.h.
add_library(dbld_tcl INTERFACE)
target_include_directories(dbld_tcl INTERFACE ${TCL_INCLUDE_DIR})
if(DBLD_TCL_STUBS)
  target_compile_definitions(dbld_tcl INTERFACE USE_TCL_STUBS)
  target_compile_options(dbld_tcl INTERFACE
                         -include ${PROJECT_SOURCE_DIR}/druckmessung/dbld_tclstubs.h)
endif()
