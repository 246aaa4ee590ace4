# The Kmqstationd package: the station's analysis command (std, std+), the
# image commands, and the station-bound string cipher ::kmqcrypt.
add_library(dbld_crypt OBJECT crypt/crypt_tea.cpp crypt/getmac.cpp)
target_include_directories(dbld_crypt PUBLIC ${PROJECT_SOURCE_DIR}/crypt ${DBLD_DIR})
set_property(GLOBAL APPEND PROPERTY DBLD_TEST_OBJEKTE dbld_crypt)

# No centre-of-pressure evaluation: the station's command has no cop.
dbld_paket(kmqstationd Kmqstationd 0.1 kmqstationd/kmqstationd.cpp
           OBJECTS dbld_kern dbld_std dbld_tclglue dbld_analyse dbld_crypt)
target_include_directories(kmqstationd PRIVATE ${PROJECT_SOURCE_DIR}/crypt
                           ${PROJECT_SOURCE_DIR}/kmqstationd)

# The hull evaluation is part of the station library (exported, no command).
if(TARGET dbld_huellen)
  target_sources(kmqstationd PRIVATE $<TARGET_OBJECTS:dbld_huellen>)
endif()

# Rendering, JPEG output and the two image commands; this is the only
# library that links libjpeg.
if(TARGET dbld_bild)
  target_sources(kmqstationd PRIVATE $<TARGET_OBJECTS:dbld_bild>)
  target_link_libraries(kmqstationd PRIVATE JPEG::JPEG)
endif()
if(TARGET dbld_bild_tcl)
  target_sources(kmqstationd PRIVATE $<TARGET_OBJECTS:dbld_bild_tcl>)
endif()

set_property(GLOBAL APPEND PROPERTY DBLD_EXPORTE_Kmqstationd
  Druckbildanalyse_Cmd Druckbildjpegdata_Cmd Druckbildphoto_configure_Cmd Kmqcrypt_Cmd
  DBLD_get DBLD_put DBLD_bereinigen
  DBLD_auswertung_std DBLD_auswertung_stdplus DBLD_auswertung_huellen
  huelle_bei_prozent n_rasterpunkte
  DBLD_set_ccontrast DBLD_get_ccontrast DBLD_set_bgcolor DBLD_get_bgcolor
  DBLD_value_to_color DBLD_pixsize DBLD_put_gen DBLD_put_ppm DBLD_put_ppm_plain
  DBLD_print_grey DBLD_print_color DBLD_to_jpeg DBLD_put_jpeg
  get_mac pwd2tea_key tea_encrypt tea_decrypt)
