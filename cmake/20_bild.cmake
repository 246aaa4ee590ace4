# Rendering: colour settings, colour scale, rasteriser, PPM / PGM / JPEG
# writers (dbld_bild, no Tcl: the unit tests link it), and the two image
# commands ::druckbild::jpegdata and ::druckbild::photo_configure
# (dbld_bild_tcl, only the station module links it).  libjpeg comes with
# dbld_bild.
find_package(JPEG REQUIRED)

add_library(dbld_bild OBJECT druckmessung/dbld_bild.cpp)
target_include_directories(dbld_bild PUBLIC ${DBLD_DIR})
target_link_libraries(dbld_bild PUBLIC JPEG::JPEG)

add_library(dbld_bild_tcl OBJECT kmqstationd/dbld_bild_tcl.cpp)
target_include_directories(dbld_bild_tcl PUBLIC ${DBLD_DIR}
                           ${PROJECT_SOURCE_DIR}/kmqstationd ${TCL_INCLUDE_DIR})

set_property(GLOBAL APPEND PROPERTY DBLD_TEST_OBJEKTE dbld_bild)
set_property(GLOBAL APPEND PROPERTY DBLD_TEST_LIBS JPEG::JPEG)
