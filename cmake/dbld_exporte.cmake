# The plain C names each module exports, the one list of them: the build
# writes each module's version script from it (cmake/dbld_paket.cmake) and
# the exports test checks each module's dynamic symbol table against it,
# both ways: every name here exported, nothing exported that is not here
# (tests/exports.sh).  A module exports the names its sources declare
# with DBLD_EXPORT; a name added there must be added here as well.
# Beside these names every module exports its entry <Paket>_Init and the
# forwarder Tcl_Init (dbld_paket.h), named after its package.

# Every module: record, sampling, diagnostic log, text format, cleaning.
set(DBLD_EXPORTE_KERN DBLD_new DBLD_init DBLD_delete DBLD_min_max DBLD_dbldvalsq
    dbld_loglevel dbld_err_msg dbld_warn_msg dbld_log_msg dbld_dbg_msg dbld_dbg2_msg
    DBLD_get DBLD_put DBLD_bereinigen)
# The hull evaluation (Druckbildanalyse, Kmqstationd, Druckbildkennzahlen).
set(DBLD_EXPORTE_HUELLEN DBLD_auswertung_huellen DBLD_huellen_freigeben huelle_bei_prozent
    n_rasterpunkte)

# DBLD_EXPORTE_<target>: each module's names beyond its entry.
set(DBLD_EXPORTE_druckbildanalyse ${DBLD_EXPORTE_KERN} ${DBLD_EXPORTE_HUELLEN}
    Druckbildanalyse_Cmd DBLD_auswertung_std DBLD_auswertung_stdplus DBLD_auswertung_cop)
set(DBLD_EXPORTE_beckenrotation ${DBLD_EXPORTE_KERN}
    BROT_log BROT_logcop BROT_result BROT_json_result DBLD_auswertung_cop)
set(DBLD_EXPORTE_kalvora ${DBLD_EXPORTE_KERN}
    DBLD_kalvora)
# The rendering (Kmqstationd, Druckbildkennzahlen).
set(DBLD_EXPORTE_BILD DBLD_set_ccontrast DBLD_get_ccontrast DBLD_set_bgcolor DBLD_get_bgcolor
    DBLD_value_to_color DBLD_pixsize DBLD_put_gen DBLD_put_ppm DBLD_put_ppm_plain
    DBLD_print_grey DBLD_print_color DBLD_to_jpeg DBLD_put_jpeg)
set(DBLD_EXPORTE_kmqstationd ${DBLD_EXPORTE_KERN} ${DBLD_EXPORTE_HUELLEN}
    Druckbildanalyse_Cmd Druckbildjpegdata_Cmd Druckbildphoto_configure_Cmd Kmqcrypt_Cmd
    DBLD_auswertung_std DBLD_auswertung_stdplus ${DBLD_EXPORTE_BILD}
    get_mac pwd2tea_key tea_encrypt tea_decrypt)
set(DBLD_EXPORTE_druckbildkennzahlen ${DBLD_EXPORTE_KERN} ${DBLD_EXPORTE_HUELLEN}
    ${DBLD_EXPORTE_BILD})
