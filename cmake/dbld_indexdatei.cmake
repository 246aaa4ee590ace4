# The package index from cmake/pkgIndex.tcl.in; at configure time and in
# the install's script (cmake -P).
set(DBLD_INDEX_VORLAGE ${CMAKE_CURRENT_LIST_DIR}/pkgIndex.tcl.in)

# dbld_indexdatei(<file> <tcls> <name> <version> <target> ...): the index
# over the packages given by name, version and target: for Tcl 9.x each
# package's module libtcl9<target>.so, for Tcl 8.6 and later 8.x its
# lib<target>.so, as their entries require.  The index returns at once in
# a Tcl other than those of tcls ("8.6", "9.0" or "8.6 9.0"), so that such
# an interpreter finds no package here instead of a module that is not
# here or that it cannot load.
function(dbld_indexdatei datei tcls)
  set(DBLD_INDEX_TCLS "${tcls}")
  set(DBLD_INDEX_TCL9)
  set(DBLD_INDEX_TCL86)
  set(pakete ${ARGN})
  while(pakete)
    list(POP_FRONT pakete name version target)
    string(APPEND DBLD_INDEX_TCL9 "    package ifneeded ${name} ${version} "
           "[list load [file join $dir libtcl9${target}.so] ${name}]\n")
    string(APPEND DBLD_INDEX_TCL86 "    package ifneeded ${name} ${version} "
           "[list load [file join $dir lib${target}.so] ${name}]\n")
  endwhile()
  configure_file(${DBLD_INDEX_VORLAGE} ${datei} @ONLY)
endfunction()
