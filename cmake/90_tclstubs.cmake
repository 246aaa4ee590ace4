# Stubs build: -DDBLD_TCL_STUBS=ON builds every package against Tcl's stubs
# library, for hosts that open libtcl privately (Python's tkinter.Tcl()).
# The default build calls Tcl by name from the loading process (tclsh, wish
# and any program linked with libtcl).  Neither build names libtcl among the
# libraries it needs.
option(DBLD_TCL_STUBS "Build the packages against the Tcl stubs library" OFF)

if(DBLD_TCL_STUBS)
  find_library(TCL_STUB_LIBRARY NAMES tclstub8.6 tclstub REQUIRED)
  set(paket_ziele)
  get_property(pakete GLOBAL PROPERTY DBLD_PAKETE)
  foreach(p ${pakete})
    string(REGEX REPLACE ".* lib(.*)\\.so$" "\\1" ziel "${p}")
    list(APPEND paket_ziele ${ziel})
    target_link_libraries(${ziel} PRIVATE ${TCL_STUB_LIBRARY})
  endforeach()
  # Everything that includes tcl.h: the shared glue, the analysis command,
  # the image commands and each package's own sources.
  foreach(ziel dbld_tclglue dbld_analyse dbld_bild_tcl ${paket_ziele})
    if(TARGET ${ziel})
      target_compile_definitions(${ziel} PRIVATE USE_TCL_STUBS)
      target_compile_options(${ziel} PRIVATE -include ${DBLD_DIR}/dbld_tclstubs.h)
    endif()
  endforeach()
endif()
