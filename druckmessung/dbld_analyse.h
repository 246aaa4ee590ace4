// ::druckbild::analyse, shared by the packages that register it.  Each
// package describes its variant of the command (method table, std keys,
// mask) and hands it to analyse_cmd.
#ifndef DBLD_ANALYSE_H
#define DBLD_ANALYSE_H

#include "dbld.h"

#include <tcl.h>

// Method indices; in a namespace of their own, as std would clash with the
// C++ standard library's namespace.
namespace analyse {
enum names_mtds_analyse { std = 0, stdplus = 1, cop = 2 };
}

struct ANALYSE_VARIANTE {
    // Null-terminated method words, in the order of names_mtds_analyse.
    const char* const* mtds_analyse;
    // The centre-of-pressure evaluation, where the package has the method.
    int (*auswertung_cop)(double* px, double* py, const DBLD* dbld);
    // std result with all nine keys, or only the two centroids and the distance.
    bool std_vollstaendig;
    // Whether the command hands the evaluations an all-zero mask array.
    bool mit_maske;
};

int analyse_cmd(const ANALYSE_VARIANTE* variante, Tcl_Interp* interp, int objargc,
                Tcl_Obj* const objargv[]);

extern "C" DBLD_EXPORT int Druckbildanalyse_Cmd(ClientData cdata, Tcl_Interp* interp,
                                                int objargc, Tcl_Obj* const objargv[]);

#endif
