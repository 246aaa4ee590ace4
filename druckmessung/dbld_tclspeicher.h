// Memory of the Tcl glue from Tcl's allocator: attempted (null where it
// cannot be obtained, where Tcl_Alloc would end the process) by the one
// size-checked allocation versuchen, given back with Tcl_Free.
#ifndef DBLD_TCLSPEICHER_H
#define DBLD_TCLSPEICHER_H

#include "dbld_tclversion.h"

#include <climits>
#include <cstddef>
#include <memory>

namespace dbld_tcl {

struct TCL_FREE {
    void operator()(void* p) const { Tcl_Free((char*)p); }
};

// A block from versuchen: TCL_BLOCK<int[]>, TCL_BLOCK<Tcl_Obj*[]>.
template <class T> using TCL_BLOCK = std::unique_ptr<T, TCL_FREE>;

// n elements of T (one at least, so that an empty image still gets a valid
// block) from Tcl_AttemptAlloc, not set; null where their bytes exceed what
// Tcl 8.6's allocator counts in (unsigned int) or the memory cannot be
// obtained.
template <class T> T* versuchen(size_t n)
{
    if (n == 0)
        n = 1;
    if (n > UINT_MAX / sizeof(T))
        return nullptr;
    return (T*)Tcl_AttemptAlloc((unsigned int)(n * sizeof(T)));
}

} // namespace dbld_tcl

#endif
