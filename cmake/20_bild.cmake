# Rendering: colour settings, colour scale, rasteriser, PPM / PGM / JPEG
# writers (dbld_bild, no Tcl: the unit tests link it), and the two image
# commands ::druckbild::jpegdata and ::druckbild::photo_configure
# (dbld_bild_tcl, only the station module links it).  libjpeg comes with
# dbld_bild.
find_package(JPEG REQUIRED)

# dbld_bild.cpp: settings, colour scale, point-by-point raster, the exported
# renderers; dbld_bild_zeilen.cpp: the row raster; dbld_bild_jpeg.cpp: the
# libjpeg glue.
add_library(dbld_bild OBJECT druckmessung/dbld_bild.cpp druckmessung/dbld_bild_zeilen.cpp
                             druckmessung/dbld_bild_jpeg.cpp)
# The row raster's inner loops are written for the vectoriser; GCC's -O2
# cost model leaves them scalar.  Its colour loop is a few instructions per
# pixel and runs measurably slower where it happens to cross a 32-byte
# boundary (6 % of a 32 x 32 jpegdata call on the development machine), so
# its loops start on one.  The arithmetic stays the same
# (-ffp-contract=off, no fast-math).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set_source_files_properties(druckmessung/dbld_bild_zeilen.cpp PROPERTIES
                              COMPILE_OPTIONS "-fvect-cost-model=dynamic;-falign-loops=32")
endif()
target_include_directories(dbld_bild PUBLIC ${DBLD_DIR})
target_link_libraries(dbld_bild PUBLIC JPEG::JPEG)

add_library(dbld_bild_tcl OBJECT kmqstationd/dbld_bild_tcl.cpp)
target_include_directories(dbld_bild_tcl PUBLIC ${DBLD_DIR}
                           ${PROJECT_SOURCE_DIR}/kmqstationd ${TCL_INCLUDE_DIR})

set_property(GLOBAL APPEND PROPERTY DBLD_TEST_OBJEKTE dbld_bild)
set_property(GLOBAL APPEND PROPERTY DBLD_TEST_LIBS JPEG::JPEG)

# Benchmark helper: libjpeg alone inside the Tcl process, loaded by
# bench/bench_bild.tcl (build/bench/libbild_bench.so, not a package).
if(DBLD_BENCH)
  add_library(bild_bench MODULE bench/bild_bench/bild_bench_tcl.cpp
              $<TARGET_OBJECTS:dbld_bild> $<TARGET_OBJECTS:dbld_kern>
              $<TARGET_OBJECTS:dbld_tclglue>)
  target_include_directories(bild_bench PRIVATE ${DBLD_DIR} ${TCL_INCLUDE_DIR})
  target_link_libraries(bild_bench PRIVATE JPEG::JPEG)
  set_target_properties(bild_bench PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endif()
