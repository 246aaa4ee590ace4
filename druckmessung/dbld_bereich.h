// Running value range of an image as the record functions keep it: the
// minimum starts at 256 and the maximum at 0; a minimum left above the
// maximum (no value counted) ends equal to it.
#ifndef DBLD_BEREICH_H
#define DBLD_BEREICH_H

#include "dbld.h"

namespace dbld_intern {

struct WERTEBEREICH {
    int val_min = 256;
    int val_max = 0;

    void zaehlen(int v)
    {
        if (v > val_max)
            val_max = v;
        if (v < val_min)
            val_min = v;
    }
    void setzen(DBLD* dbld) const
    {
        dbld->val_max = val_max;
        dbld->val_min = val_min > val_max ? val_max : val_min;
    }
};

} // namespace dbld_intern

#endif
