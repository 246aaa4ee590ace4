# The Beckenrotation package: the pelvic rotation log and fit, and
# ::druckbild::beckenrotation.
add_library(dbld_beckenrotation OBJECT druckmessung/dbld_beckenrotation.cpp)
target_include_directories(dbld_beckenrotation PUBLIC ${DBLD_DIR})
set_property(GLOBAL APPEND PROPERTY DBLD_TEST_OBJEKTE dbld_beckenrotation)

dbld_paket(beckenrotation Beckenrotation 1.0 druckmessung/dbld_beckenrotation_tcl.cpp
           OBJECTS dbld_kern dbld_cop dbld_tclglue dbld_beckenrotation)
set_property(GLOBAL APPEND PROPERTY DBLD_EXPORTE_Beckenrotation
             BROT_log BROT_logcop BROT_result BROT_json_result DBLD_auswertung_cop)
