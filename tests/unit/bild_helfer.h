// Test helper: a small pressure image built from literal cells.
#ifndef BILD_HELFER_H
#define BILD_HELFER_H

#include "dbld.h"

#include <chrono>
#include <initializer_list>
#include <vector>

struct Zelle {
    int row, col, wert;
};

// n_y x n_x image, all 0 but the given cells; an all-zero mask; a DBLD over both.
struct TestBild {
    int n_y, n_x;
    std::vector<int> werte, maske;
    DBLD dbld;

    TestBild(int ny, int nx, std::initializer_list<Zelle> zellen = {})
        : n_y(ny), n_x(nx), werte((size_t)(ny * nx > 0 ? ny * nx : 0), 0),
          maske(werte.size(), 0), dbld{ny, nx, werte.data(), 0, 255, maske.data()}
    {
        for (const Zelle& z : zellen)
            setze(z.row, z.col, z.wert);
    }
    TestBild(const TestBild&) = delete;
    TestBild& operator=(const TestBild&) = delete;

    void setze(int row, int col, int wert) { werte[(size_t)row * n_x + col] = wert; }
    int wert(int row, int col) const { return werte[(size_t)row * n_x + col]; }
    // Fills the rectangle rows r0..r1, columns c0..c1 with one value.
    void block(int r0, int r1, int c0, int c1, int wert)
    {
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                setze(r, c, wert);
    }
};

// Seconds one call of f takes.
template <class F>
double sekunden(F f)
{
    auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

#endif
