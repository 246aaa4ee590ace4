// The figures of the Druckbildkennzahlen package at C level (hidden in the
// library, driven by the commands and the unit tests): region statistics
// with the peak pressure index, the mean and peak-hold image over frames,
// and the colours of the two colour scales for a legend.
//
// Integer sums are exact (64 bits, or more where a product of a value and a
// position could pass 64 bits); every division is one double division of
// exact or once-rounded operands, so that the figures are the same bits on
// every platform.  Nothing here uses the maths library beyond sqrt, which
// IEEE 754 rounds exactly.
#ifndef DBLD_KENNZAHLEN_H
#define DBLD_KENNZAHLEN_H

#include "dbld.h"

namespace dbld_kennzahlen {

// ---- Region statistics ----------------------------------------------------

// What statistik evaluates: the cells of rows zeile0 .. zeile1 and columns
// spalte0 .. spalte1 (inclusive, within the image, not reversed) whose
// value is > schwelle (>= 0) are the loaded cells; rows < teilung count as
// the lower part; the peak pressure index takes windows of fenster x
// fenster cells (fenster odd, >= 1).
struct STATISTIK_WAHL {
    int schwelle;
    int zeile0, spalte0, zeile1, spalte1;
    int teilung;
    int fenster;
};

// The figures, as the command returns them under the same names.  Without
// a loaded cell: zellen 0, summe 0, spitze 0 at (-1, -1), mittel,
// variationskoeffizient, the shares and the centroid -1.  A region smaller
// than the window: ppi -1 at (-1, -1).
struct STATISTIK {
    long long zellen;
    long long summe;
    int spitze, spitze_zeile, spitze_spalte;
    double mittel;
    double variationskoeffizient;
    double anteil_links, anteil_rechts;
    double anteil_unten, anteil_oben;
    double schwerpunkt_x, schwerpunkt_y;
    double ppi;
    int ppi_zeile, ppi_spalte;
};

// Why a choice cannot be evaluated on an n_y x n_x image, as the command's
// message ("-schwelle < 0", "-bereich ausserhalb des Bildes", "-bereich
// verkehrt", "-teilung < 0", "-teilung > anzahl_zeilen", "-fenster < 1",
// "-fenster gerade"), or null when it can.  An image without cells has no
// region but the whole one, which is then empty.
const char* statistik_pruefen(const STATISTIK_WAHL& wahl, int n_y, int n_x);

// The whole image as the region, threshold 0, teilung n_y / 2, window 3.
STATISTIK_WAHL statistik_standard(int n_y, int n_x);

// The figures of the n_y x n_x row-major image werte under a choice that
// statistik_pruefen accepted.  False when working memory (one row of
// column sums of the region) cannot be obtained.
bool statistik(const int* werte, int n_y, int n_x, const STATISTIK_WAHL& wahl,
               STATISTIK* ergebnis);

// ---- Mean and peak-hold image over frames ---------------------------------

// Negative values are no measurement: a frame adds to a cell's sum and
// count, or raises its peak, only where its value is >= 0.
// Adds the n values of a frame to the sums and counts (n each).
void mittel_aufnehmen(long long* summen, int* anzahlen, const int* bild, int n);
// Raises the peaks (n of them, -1 before the first frame) to the frame's
// values.
void spitze_aufnehmen(int* spitzen, const int* bild, int n);
// The mean of a cell, summe / anzahl in double; -1 when no frame measured it.
// Inline: a double returned from a function of its own passes the x87
// register on 32-bit x86, where GCC makes the -1 with an x87 negation.
inline double mittel_wert(long long summe, int anzahl)
{
    return anzahl == 0 ? -1.0 : (double)summe / (double)anzahl;
}
// The mean rounded half away from zero to an integer (exactly, from the
// integer quotient and remainder); -1 when no frame measured the cell.
int mittel_gerundet(long long summe, int anzahl);

// ---- Colour scales ----------------------------------------------------------

// Pressure levels 0 .. 255 as the false-colour images draw them, diverging
// levels -255 .. 255 as the difference images draw them.
const int STUFEN_MAX = 255;

// The colour of a pressure level at contrast kontrast (0 .. 7), as the
// false-colour images draw it: DBLD_value_to_color with that contrast;
// level 0 is the background colour of the rendering (white unless a C host
// changed it in this library).
void druckfarbe(int stufe, int kontrast, unsigned char rgb[3]);

// The colour of a diverging level (below -255 as -255, above 255 as 255)
// at contrast kontrast (0 .. 7): 0 neutral white, positive levels through
// light red to dark red at 255, negative ones through light blue to dark
// blue at -255, each channel interpolated in integers between the fixed
// colours at the magnitudes 0, 64, 128, 192 and 255.  With a contrast c > 0
// a nonzero magnitude first moves to the top of its band of 2^c levels,
// as on the pressure scale.
void differenzfarbe(int stufe, int kontrast, unsigned char rgb[3]);

// The level of legend entry i of anzahl (>= 2), evenly spaced from the
// bottom of the scale to its top: on the pressure scale (255 i) / (anzahl -
// 1), on the diverging one (510 i - 255 (anzahl - 1)) / (anzahl - 1), with
// C's division toward zero, as a value of that place on the scale is
// truncated to its level.
int legendenstufe(int i, int anzahl, bool divergierend);

// ---- Difference images --------------------------------------------------------

// The difference b - a of n cells into d, as float; a cell where a or b is
// negative (no measurement) has the difference 0.  Returns the largest
// magnitude of the exact differences (up to 2^32 - 1).
long long differenzen(const int* a, const int* b, int n, float* d);

// A JPEG of the differences d (n_rows x n_cols, row-major) with the raster
// of the false-colour images (par: resolution, grid, frame, mask, quality;
// masked cells where maske is not null and par->mask is set), each pixel
// the interpolation between cell centres of the false-colour images, but
// without their two cut-offs for pressures (an empty neighbourhood, a value
// below the smallest): a difference is sampled as it is, of either sign.
// Its level is the sampled value times (float)(255 / maximum), truncated
// toward zero and kept within -255 .. 255, its colour differenzfarbe at
// kontrast; a maximum of 0 draws every level 0.  The buffer (null, length
// 0 on entry) comes from malloc for the caller.  False with the reason in
// meldung (dbld_bild::MELDUNG_MAX bytes) when the size is refused (as for
// jpegdata), memory cannot be obtained (*speichermangel) or libjpeg fails.
bool differenzbild_jpeg(unsigned char** puffer, unsigned long* laenge, const float* d,
                        const int* maske, int n_rows, int n_cols, const BILDPARAMETER* par,
                        long long maximum, int kontrast, char* meldung, bool* speichermangel);

// The same raster handed pixel by pixel to a pixel writer, row by row from
// the top, as DBLD_put_gen does; false (nothing drawn) when the size is
// refused as for the JPEG or memory cannot be obtained.
bool differenzbild_zeichnen(void* ausgabe, PIXELSCHREIBER pixelschreiber, const float* d,
                            const int* maske, int n_rows, int n_cols, const BILDPARAMETER* par,
                            long long maximum, int kontrast);

} // namespace dbld_kennzahlen

#endif
