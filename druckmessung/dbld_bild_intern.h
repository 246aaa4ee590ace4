// Internal pieces of the rendering shared with the image commands and the
// tests (not exported): the size check, the JPEG writers that hand back
// libjpeg's message instead of logging it, and the point-by-point
// rasteriser.  They live in dbld_bild_jpeg.cpp (jpeg_masse, jpeg_in_speicher,
// jpeg_in_datei), dbld_bild.cpp (raster_punktweise) and dbld_bild_zeilen.cpp
// (zeilenraster_sperren); dbld_bild_raster.h says what each file is for.
#ifndef DBLD_BILD_INTERN_H
#define DBLD_BILD_INTERN_H

#include "dbld.h"

#include <stddef.h>

struct jpeg_progress_mgr;

namespace dbld_bild {

// Room for one message of the JPEG writers (libjpeg's own are shorter).
constexpr size_t MELDUNG_MAX = 200;

// Width, height and raster size (3 bytes per pixel) of the image a JPEG
// writer would make.  Returns null when they are fine, else the reason:
// "n_rows < 1", "n_cols < 1", "resolution < 1", "frame < 0", "grid < 0",
// "grid > 2", "Bildbreite > 65500", "Bildhoehe > 65500" or "Bildpunkte >
// 67108864" (DBLD_BILDPUNKTE_MAX).
const char* jpeg_masse(const DBLD* dbld, const BILDPARAMETER* par, int* breite, int* hoehe,
                       size_t* rastergroesse);

// DBLD_to_jpeg without the log: on failure returns false, leaves buffer and
// length as on entry and puts the reason into meldung (MELDUNG_MAX bytes).
// fortschritt, when not null, becomes the compressor's progress monitor.
// *speichermangel, when given, tells whether the failure was memory that
// could not be obtained (the writer's raster, or libjpeg's "Insufficient
// memory").
bool jpeg_in_speicher(unsigned char** puffer, unsigned long* laenge, const DBLD* dbld,
                      const BILDPARAMETER* par, char* meldung,
                      jpeg_progress_mgr* fortschritt = nullptr,
                      bool* speichermangel = nullptr);

// DBLD_put_jpeg without the log, likewise.
bool jpeg_in_datei(FILE* f, const DBLD* dbld, const BILDPARAMETER* par, char* meldung,
                   jpeg_progress_mgr* fortschritt = nullptr);

// Where the rows of an image that is not drawn by the false-colour
// rasteriser come from: row y (0 = top) as 3 x width bytes, valid until the
// next call; rows are asked for from the top down.
typedef const unsigned char* (*ZEILENQUELLE)(void* daten, int y);

// jpeg_in_speicher for such an image of breite x hoehe pixels (checked as
// by jpeg_masse beforehand) at JPEG quality quality: the same compressor,
// the same error handling and the same memory destination.
bool zeilen_in_speicher(unsigned char** puffer, unsigned long* laenge, int breite, int hoehe,
                        int quality, ZEILENQUELLE quelle, void* daten, char* meldung,
                        bool* speichermangel);

// DBLD_put_gen one pixel at a time through DBLD_dbldvalsq: what the
// rasteriser falls back on when the tables of its row raster cannot be had.
// The same pixels as DBLD_put_gen.
void raster_punktweise(void* ausgabe, PIXELSCHREIBER pixelschreiber, const DBLD* dbld,
                       const BILDPARAMETER* par);

// For the tests: while locked, the row raster's tables are refused as when
// their memory cannot be had, so that every writer takes its point-by-point
// path (the JPEG writers then draw the whole raster before compressing).
void zeilenraster_sperren(bool sperren);

} // namespace dbld_bild

#endif
