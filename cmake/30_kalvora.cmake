# The Kalvora package: the seat score and ::druckbild::kalvora.
add_library(dbld_kalvora OBJECT druckmessung/dbld_kalvora.cpp)
target_include_directories(dbld_kalvora PUBLIC ${DBLD_DIR})
set_property(GLOBAL APPEND PROPERTY DBLD_TEST_OBJEKTE dbld_kalvora)

dbld_paket(kalvora Kalvora 1.0 druckmessung/dbld_kalvora_tcl.cpp
           OBJECTS dbld_kern dbld_tclglue dbld_kalvora)
set_property(GLOBAL APPEND PROPERTY DBLD_EXPORTE_Kalvora DBLD_kalvora)
