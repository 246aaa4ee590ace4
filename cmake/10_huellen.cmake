# Text format and cleaning (part of the core in every library), the hull
# evaluation (Druckbildanalyse; Kmqstationd links dbld_huellen itself), and
# the command-line tool build/dbldinfo.
target_sources(dbld_kern PRIVATE ${PROJECT_SOURCE_DIR}/druckmessung/dbld_text.cpp)

add_library(dbld_huellen OBJECT ${PROJECT_SOURCE_DIR}/druckmessung/dbld_auswertung_huellen.cpp)
target_include_directories(dbld_huellen PUBLIC ${DBLD_DIR})
target_sources(druckbildanalyse PRIVATE $<TARGET_OBJECTS:dbld_huellen>)
set_property(GLOBAL APPEND PROPERTY DBLD_TEST_OBJEKTE dbld_huellen)

add_executable(dbldinfo ${PROJECT_SOURCE_DIR}/tools/dbldinfo/dbldinfo.cpp)
target_link_libraries(dbldinfo PRIVATE dbld_kern dbld_huellen)
set_target_properties(dbldinfo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
include(GNUInstallDirs)
install(TARGETS dbldinfo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Exports checked by the tests: the text format and cleaning in every module,
# the hull evaluation where it is linked.
set_property(GLOBAL APPEND PROPERTY DBLD_EXPORTE_Druckbildanalyse
             DBLD_get DBLD_put DBLD_bereinigen DBLD_auswertung_huellen
             DBLD_huellen_freigeben huelle_bei_prozent n_rasterpunkte)
set_property(GLOBAL APPEND PROPERTY DBLD_EXPORTE_Kmqstationd
             DBLD_get DBLD_put DBLD_bereinigen DBLD_auswertung_huellen
             DBLD_huellen_freigeben huelle_bei_prozent n_rasterpunkte)
foreach(paket Beckenrotation Kalvora)
  set_property(GLOBAL APPEND PROPERTY DBLD_EXPORTE_${paket} DBLD_get DBLD_put DBLD_bereinigen)
endforeach()
