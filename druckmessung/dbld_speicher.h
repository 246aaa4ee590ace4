// Who gives back the core's memory: a block from malloc or calloc goes
// back with free, a record from DBLD_new, DBLD_init, DBLD_get or
// DBLD_bereinigen with DBLD_delete.  Working memory is held in these
// pointers, so that every way out of a function gives it back.
#ifndef DBLD_SPEICHER_H
#define DBLD_SPEICHER_H

#include "dbld.h"

#include <cstdlib>
#include <memory>

namespace dbld_speicher {

struct FREE {
    void operator()(void* p) const { free(p); }
};

struct DELETE {
    void operator()(DBLD* dbld) const { DBLD_delete(&dbld); }
};

// A block from malloc or calloc: C_BLOCK<int[]>, C_BLOCK<unsigned char[]>.
template <class T> using C_BLOCK = std::unique_ptr<T, FREE>;

// A record of the core.
using DBLD_BLOCK = std::unique_ptr<DBLD, DELETE>;

} // namespace dbld_speicher

#endif
