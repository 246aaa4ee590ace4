// Diagnostic log: printf-style output on standard error, gated by the
// process-wide level.  No prefix, no time stamp, no added line end.
#include "dbld.h"
#include "dbld_intern.h"

#include <stdarg.h>

#include <mutex>

DBLD_LOGLEVEL dbld_loglevel = DBLD_LOGLEVEL_ERR;

namespace dbld_intern {

thread_local int log_stumm = 0;

} // namespace dbld_intern

namespace {

// The calls running at the debug level, and the level before the first.
std::mutex debug_sperre;
int debug_aufrufe = 0;
DBLD_LOGLEVEL vor_debug = DBLD_LOGLEVEL_ERR;

void schreiben(DBLD_LOGLEVEL ab, const char* format, va_list args)
{
    if (dbld_intern::loglevel() >= ab && dbld_intern::log_stumm == 0)
        vfprintf(stderr, format, args);
}

} // namespace

void dbld_intern::debug_anheben()
{
    std::lock_guard<std::mutex> gesperrt(debug_sperre);
    if (debug_aufrufe++ == 0) {
        vor_debug = loglevel();
        loglevel_setzen(DBLD_LOGLEVEL_DBG);
    }
}

void dbld_intern::debug_senken()
{
    std::lock_guard<std::mutex> gesperrt(debug_sperre);
    if (--debug_aufrufe == 0)
        loglevel_setzen(vor_debug);
}

#define DBLD_LOG_FUNKTION(name, level)          \
    void name(const char* format, ...)          \
    {                                           \
        va_list args;                           \
        va_start(args, format);                 \
        schreiben(level, format, args);         \
        va_end(args);                           \
    }

DBLD_LOG_FUNKTION(dbld_err_msg, DBLD_LOGLEVEL_ERR)
DBLD_LOG_FUNKTION(dbld_warn_msg, DBLD_LOGLEVEL_WARN)
DBLD_LOG_FUNKTION(dbld_log_msg, DBLD_LOGLEVEL_LOG)
DBLD_LOG_FUNKTION(dbld_dbg_msg, DBLD_LOGLEVEL_DBG)
DBLD_LOG_FUNKTION(dbld_dbg2_msg, DBLD_LOGLEVEL_DBG2)
