// Seated-like frames for the benchmarks: two sit-bone mounds on a low
// background, deterministic, and the record a command would build over them.
#ifndef SITZBILD_H
#define SITZBILD_H

#include "dbld.h"

#include <cmath>
#include <vector>

// n x n cells.
inline std::vector<int> sitzbild(int n)
{
    std::vector<int> werte((size_t)n * n);
    double h = n / 2.0;
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            double d1 = std::hypot(r - 0.45 * n, c - 0.3 * n) / h;
            double d2 = std::hypot(r - 0.45 * n, c - 0.7 * n) / h;
            int v = (int)(80 * std::exp(-8 * d1 * d1) + 70 * std::exp(-8 * d2 * d2));
            werte[(size_t)r * n + c] = v < 3 ? 0 : v;
        }
    return werte;
}

// The frame as a command hands it over: an all-zero mask, no value range.
struct SITZRAHMEN {
    int n;
    std::vector<int> werte, maske;
    DBLD dbld;
    explicit SITZRAHMEN(int groesse)
        : n(groesse), werte(sitzbild(groesse)), maske(werte.size(), 0),
          dbld{groesse, groesse, werte.data(), 0, 0, maske.data()}
    {
    }
    SITZRAHMEN(const SITZRAHMEN&) = delete;
    SITZRAHMEN& operator=(const SITZRAHMEN&) = delete;
};

#endif
