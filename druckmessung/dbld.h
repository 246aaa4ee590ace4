/*
 * dbld.h - public interface of the pressure image libraries.
 *
 * One pressure image from the seat mat (DBLD), sampling between cells, the
 * diagnostic log, and the seat evaluations that work on such images.  Every
 * declaration here is a plain C-ABI name exported by the libraries that
 * contain it; a host program may call them directly, without Tcl.
 */
#ifndef DBLD_H
#define DBLD_H

#include <stdio.h>

#if defined(__GNUC__)
#define DBLD_EXPORT __attribute__((visibility("default")))
#else
#define DBLD_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Pressure image record -------------------------------------------- */

/* One pressure image: n_rows x n_cols int values, row-major.  mask holds one
 * flag per cell: 0 = valid measurement, nonzero = no valid measurement. */
typedef struct DBLD {
    int n_rows;
    int n_cols;
    int* dbld;
    int val_min;
    int val_max;
    int* mask;
} DBLD;

/* A point on the mat in cell units: x = column position, y = row position. */
typedef struct MATTENPUNKT {
    float x;
    float y;
} MATTENPUNKT;

/* Side of the body: links = columns 0 .. n_x/2-1, rechts = the rest. */
typedef enum SEITE { links = 0, rechts = 1 } SEITE;

typedef enum DBLD_LOGLEVEL {
    DBLD_LOGLEVEL_ERR = 0,
    DBLD_LOGLEVEL_WARN = 1,
    DBLD_LOGLEVEL_LOG = 2,
    DBLD_LOGLEVEL_DBG = 3,
    DBLD_LOGLEVEL_DBG2 = 4
} DBLD_LOGLEVEL;

/* Process-wide diagnostic log level, initially DBLD_LOGLEVEL_ERR. */
DBLD_EXPORT extern DBLD_LOGLEVEL dbld_loglevel;

/* New zero-filled record (values and mask in one block), val_min 0,
 * val_max 255.  Returns null when memory cannot be obtained. */
DBLD_EXPORT DBLD* DBLD_new(int n_rows, int n_cols);
/* New record filled from a row-major array; cells <= 0 are masked.
 * Returns null when memory cannot be obtained. */
DBLD_EXPORT DBLD* DBLD_init(const int* druckwerte, int n_rows, int n_cols);
/* Frees a record made by DBLD_new and sets *dbld to null. */
DBLD_EXPORT void DBLD_delete(DBLD** dbld);
/* Recomputes val_min / val_max over all cells. */
DBLD_EXPORT void DBLD_min_max(DBLD* dbld);
/* Bilinear pressure at column position x, row position y; 0 where the
 * image offers no value there. */
DBLD_EXPORT float DBLD_dbldvalsq(const DBLD* dbld, float x, float y);

/* Diagnostic log on standard error, printf-style, gated by dbld_loglevel. */
DBLD_EXPORT void dbld_err_msg(const char* format, ...)
    __attribute__((format(printf, 1, 2)));
DBLD_EXPORT void dbld_warn_msg(const char* format, ...)
    __attribute__((format(printf, 1, 2)));
DBLD_EXPORT void dbld_log_msg(const char* format, ...)
    __attribute__((format(printf, 1, 2)));
DBLD_EXPORT void dbld_dbg_msg(const char* format, ...)
    __attribute__((format(printf, 1, 2)));
DBLD_EXPORT void dbld_dbg2_msg(const char* format, ...)
    __attribute__((format(printf, 1, 2)));

/* ---- Pressure image text format and cleaning ----------------------------- */
/* Reads one image in the text format from the current position of fp:
 * optional header lines ("#" or A-Z first), then one line per row from the
 * highest index down to row 0, "<index>: v v ...", "-1" for a masked cell.
 * Stops behind the line of row 0.  Returns a new record (free it with
 * DBLD_delete), or null when no image could be read; a format error has
 * then been reported with dbld_err_msg.  A first row index below 0 gives
 * null; a row count or record size beyond int, or memory that cannot be
 * obtained, gives null with a message.  Memory grows only with the rows
 * actually read. */
DBLD_EXPORT DBLD* DBLD_get(FILE* fp);
/* Writes an image in the text format: rows from n_rows-1 down to 0, "%2d:"
 * and per cell " %3d", or "  -1" where the mask is set.  Stream errors are
 * not reported. */
DBLD_EXPORT void DBLD_put(FILE* fp, const DBLD* dbld);
/* Cleaned copy of ursprung (not changed): a nonzero cell keeps its value
 * when, walking its eight neighbours in ring order, at least three positive
 * neighbours have been met and the last two of them came one right after
 * the other; every other cell is 0.  Mask all 0; val_min/val_max over the
 * kept positive cells.  An image without cells (zero rows or columns) gives
 * its empty copy at once, whatever the other count.  Free the result with
 * DBLD_delete; null only when memory cannot be obtained. */
DBLD_EXPORT DBLD* DBLD_bereinigen(const DBLD* ursprung);

/* ---- Evaluation results ------------------------------------------------- */

/* Result of the standard evaluation. */
typedef struct AUSWERTUNG_STD {
    MATTENPUNKT schwerpunkt1;
    MATTENPUNKT schwerpunkt2;
    MATTENPUNKT schwerpunkt;
    float gewicht1;
    float gewicht2;
    float sitzknochenabstand;
} AUSWERTUNG_STD;

/* Ellipse describing one sit-bone region. */
typedef struct ELLIPSE {
    MATTENPUNKT mitte;
    float a;
    float b;
    float w;
    MATTENPUNKT s1;
    MATTENPUNKT s2;
    MATTENPUNKT n1;
    MATTENPUNKT n2;
    MATTENPUNKT f1;
    MATTENPUNKT f2;
    MATTENPUNKT r1;
    MATTENPUNKT r2;
    MATTENPUNKT r3;
    MATTENPUNKT r4;
} ELLIPSE;

/* Result of the extended evaluation.  schwerpunkt, gewicht1 and gewicht2
 * are not set by it. */
typedef struct AUSWERTUNG_STDPLUS {
    MATTENPUNKT schwerpunkt1;
    MATTENPUNKT schwerpunkt2;
    MATTENPUNKT schwerpunkt;
    int gewicht1;
    int gewicht2;
    float sitzknochenabstand;
    float sitzknochenwinkel_links;
    float sitzknochenwinkel_rechts;
    float sitzknochenwinkel;
    ELLIPSE ellipse_links;
    ELLIPSE ellipse_rechts;
} AUSWERTUNG_STDPLUS;

/* One side's hull in cell units. */
typedef struct HUELLE {
    int n_punkte;
    MATTENPUNKT* punkte;
} HUELLE;

/* Result of the hull evaluation. */
typedef struct AUSWERTUNG_HUELLEN {
    HUELLE huelle_links;
    HUELLE huelle_rechts;
} AUSWERTUNG_HUELLEN;

/* The result area a caller hands to an evaluation; each evaluation fills
 * its own member. */
typedef union AUSWERTUNGSERGEBNIS {
    AUSWERTUNG_STD std;
    AUSWERTUNG_STDPLUS stdplus;
    AUSWERTUNG_HUELLEN huellen;
} AUSWERTUNGSERGEBNIS;

/* ---- Seat evaluations ---------------------------------------------------- */
/* Each returns 1 when the result is filled and 0 when there is none (for
 * std and std+: working memory could not be obtained).  No result holds a
 * value that is not finite: in std a side centroid, the combined centroid,
 * the distance or the shares that come out NaN or infinite (weights of both
 * signs that cancel) are missing (-1), in std+ such a side centroid is
 * taken as that of a side without pressure, (0, 0), and such a distance is
 * -1.  An image without cells gives its result at once, whatever the other
 * count. */
DBLD_EXPORT int DBLD_auswertung_std(AUSWERTUNGSERGEBNIS* ergebnis, const DBLD* dbld);
DBLD_EXPORT int DBLD_auswertung_stdplus(AUSWERTUNGSERGEBNIS* ergebnis, const DBLD* dbld);
/* Pressure-weighted centre of all unmasked nonzero cells; returns 1 when the
 * centre's x is greater than 0.  A centre that is not finite is none (-1,
 * -1); an image without cells has none, at once.  The mask must be
 * present. */
DBLD_EXPORT int DBLD_auswertung_cop(double* px, double* py, const DBLD* dbld);

/* ---- Hull evaluation ------------------------------------------------------ */
/* Threshold in percent of a side's highest value (initially 75), and raster
 * points per cell along each axis (initially 8, at least 1; it also sets the
 * capacity of a side's transitions to 100 x n_rasterpunkte - 1). */
DBLD_EXPORT extern int huelle_bei_prozent;
DBLD_EXPORT extern int n_rasterpunkte;
/* Most raster points of one hull evaluation, n_rows x n_cols x
 * n_rasterpunkte^2 (2^24: a 128 x 128 mat at 32 points per cell edge, four
 * times the default; about half a second on a PC): a larger setting is
 * refused with a message instead of keeping the caller for minutes. */
#define DBLD_RASTERPUNKTE_MAX 16777216
/* Outlines the pressure region of each side (huelle_links: columns
 * 0 .. n_cols/2-1, huelle_rechts: the rest) on the raster.  Reports through
 * the log, writes each side's gnuplot listing to standard output, and sets
 * dbld_loglevel to DBLD_LOGLEVEL_DBG once a side has a transition (it stays
 * there).  Fills ergebnis->huellen: per side the hull points in cell units,
 * in hull order, in an array from malloc that the caller owns and frees with
 * DBLD_huellen_freigeben (n_punkte 0 and punkte null for an empty hull),
 * also after a return of 0.  Returns 1; 0 when no side could be evaluated
 * (n_rasterpunkte below 1, a raster that does not fit an int or one of more
 * than DBLD_RASTERPUNKTE_MAX points, with a message, or memory that cannot
 * be obtained).  A side whose transitions fill the collection (reported
 * with dbld_err_msg) is outlined from the ones found up to then.  An image
 * without cells (zero rows or columns) has empty hulls at once, however
 * many raster rows its other count would give. */
DBLD_EXPORT int DBLD_auswertung_huellen(AUSWERTUNGSERGEBNIS* ergebnis, const DBLD* dbld);
/* Frees both sides' point arrays of a hull result and empties them. */
DBLD_EXPORT void DBLD_huellen_freigeben(AUSWERTUNG_HUELLEN* huellen);

/* ---- Rendering: false colours, rasters, JPEG ----------------------------- */

/* Rendering parameters.  grid: 0 = none, 1 = solid, 2 = dotted (other
 * numbers are refused by every writer); mask: 1 = draw masked cells light
 * grey; quality: JPEG quality (libjpeg limits it to 1 .. 100). */
typedef struct BILDPARAMETER {
    int resolution; /* pixels per cell edge */
    int grid;
    int frame;      /* border width in pixels */
    int mask;
    int quality;
} BILDPARAMETER;

/* A pixel writer: gets the output handle, the pixel's column x and row y
 * (from the top left) and its three colour bytes red, green, blue. */
typedef void (*PIXELSCHREIBER)(void* ausgabe, int x, int y, const unsigned char* farbe);

/* Process-wide colour settings.  The contrast is stored clamped to 0 .. 7
 * and returned; each background component as its absolute value modulo 256. */
DBLD_EXPORT int DBLD_set_ccontrast(int contrast);
DBLD_EXPORT int DBLD_get_ccontrast(void);
DBLD_EXPORT void DBLD_set_bgcolor(int red, int green, int blue);
DBLD_EXPORT void DBLD_get_bgcolor(int* red, int* green, int* blue);
/* Colour of a level 0 .. 255 (red at the top, violet at the bottom); levels
 * <= 0 give the background colour, levels above 255 count as 255. */
DBLD_EXPORT void DBLD_value_to_color(int* red, int* green, int* blue, int level);
/* Image size with border: width = n_cols * resolution + 2 * frame, height
 * likewise; stored where the pointers are not null; returns width * height.
 * A size that does not fit an int gives -1 everywhere. */
DBLD_EXPORT int DBLD_pixsize(int* width, int* height, const DBLD* dbld, int resolution,
                             int frame);
/* Hands every pixel of the false-colour image to the writer, row by row from
 * the top (the record's last row first).  Draws nothing for a record without
 * rows or columns, a resolution below 1, a negative frame, a grid outside
 * 0 .. 2, or a size that does not fit an int. */
DBLD_EXPORT void DBLD_put_gen(void* ausgabe, PIXELSCHREIBER pixelschreiber, const DBLD* dbld,
                              const BILDPARAMETER* par);
/* Binary ("P6") and plain ("P3") PPM of the false-colour image; nothing is
 * written for an image DBLD_put_gen would not draw. */
DBLD_EXPORT void DBLD_put_ppm(FILE* f, const DBLD* dbld, const BILDPARAMETER* par);
DBLD_EXPORT void DBLD_put_ppm_plain(FILE* f, const DBLD* dbld, const BILDPARAMETER* par);
/* Plain PGM of 255 - value per cell, row 0 at the top, each cell a block of
 * scale x scale pixels. */
DBLD_EXPORT void DBLD_print_grey(FILE* f, const DBLD* dbld, int scale);
/* Plain PPM of the raw cell values through the colour scale, each cell a
 * block of scale x scale pixels, cells separated by grey gaps. */
DBLD_EXPORT void DBLD_print_color(FILE* f, const DBLD* dbld, int scale, int gap);
/* Most pixels (width x height, border included) of one JPEG image: 2^26,
 * two and a half times a 128 x 128 mat at resolution 40 (26 million).  A
 * larger image (a mistyped resolution or frame) is refused before anything
 * is allocated, where it would otherwise cost seconds to minutes and up to
 * gigabytes of memory.  At the limit, 8192 x 8192 pixels, a seated frame
 * takes a quarter of a second on a PC and gives a JPEG of about 1 MB at
 * quality 80; the largest JPEG found there is 143 MB (2.13 bytes per pixel:
 * cells drawn at random in the scale's yellow or below 0 on a black
 * background, resolution 2, quality 100), for which libjpeg's buffer grows
 * to 256 MiB and the call holds 404 MB at its peak; measured with make bench
 * (BM_jpeg_an_der_grenze). */
#define DBLD_BILDPUNKTE_MAX 67108864

/* JPEG of the false-colour image into a buffer from malloc, which the caller
 * frees with free (*buffer null and *length 0 on entry).  JPEG to a stdio
 * stream.  Both return 1 on success; 0 when the image cannot be made (no
 * rows or columns, resolution < 1, frame < 0, grid outside 0 .. 2 ("grid <
 * 0", "grid > 2"), width or height above 65500,
 * more than DBLD_BILDPUNKTE_MAX pixels, no memory, a libjpeg error such as a
 * failed write); the reason then goes to the diagnostic log and the buffer
 * and length are as on entry. */
DBLD_EXPORT int DBLD_to_jpeg(unsigned char** buffer, unsigned long* length, const DBLD* dbld,
                             const BILDPARAMETER* par);
DBLD_EXPORT int DBLD_put_jpeg(FILE* f, const DBLD* dbld, const BILDPARAMETER* par);

/* ---- Pelvic rotation ----------------------------------------------------- */
/* The figure fitted to the logged points: the centre of the cloud, four
 * extreme points, the corners c1 (front left), c2 (front right), c3 (rear
 * right) and c4 (rear left) of the enclosing parallelogram, and ten times
 * its width and height, all in the units of the points. */
typedef struct OVAL {
    MATTENPUNKT center;
    MATTENPUNKT left;
    MATTENPUNKT front;
    MATTENPUNKT right;
    MATTENPUNKT rear;
    MATTENPUNKT c1;
    MATTENPUNKT c2;
    MATTENPUNKT c3;
    MATTENPUNKT c4;
    float width;
    float height;
} OVAL;

/* Process-wide log of up to 600 points (a ring: the oldest point goes) and
 * one result; not locked, call from one thread.  The first point after a
 * report starts a new recording.
 * BROT_log appends a point and returns the number of points logged (1 to
 * 600); an x or y that is not finite in single precision (NaN, an infinity,
 * or a magnitude that rounds to infinity as float) is not logged and gives 0.
 * BROT_logcop appends the image's centre of pressure, or returns 0 and logs
 * nothing when the image has none.
 * BROT_result closes an open recording, fits the figure, copies the latest
 * result to *p_beckenrotation and returns its code: 0 = complete, 1 = no
 * points or an empty point group, or no finite figure (the record is then
 * left as it was), 2 = left and right means share their x.  The record
 * never holds an infinite or NaN field.
 * BROT_json_result does the same and writes the result as JSON text of at
 * most size bytes (NUL included); returns its length, or 0 when it does not
 * fit (or jbr is null or size 0).  The text is never longer than
 * BROT_JSON_LAENGE_MAX characters: a buffer of BROT_JSON_LAENGE_MAX + 1
 * bytes always suffices (20 numbers of at most 44 characters each, the
 * widest being -FLT_MAX with three decimals, in a text of 361 characters
 * when all are 0.000). */
#define BROT_JSON_LAENGE_MAX 1141
DBLD_EXPORT int BROT_log(double x, double y);
DBLD_EXPORT int BROT_logcop(const DBLD* dbld);
DBLD_EXPORT int BROT_result(OVAL* p_beckenrotation);
DBLD_EXPORT int BROT_json_result(char* jbr, size_t size);

/* ---- Seat score ---------------------------------------------------------- */
/* Score in [0, 100] of the unmasked cells (mask 0) of an image: the share of
 * the cells, highest pressure first, that can be taken before the running
 * mean departs by more than 10 percent from its own running average.
 * 100.0 when fewer than two cells take part.  Returns -1.0 when working
 * memory cannot be obtained.  val_min / val_max are not read. */
DBLD_EXPORT double DBLD_kalvora(const DBLD* dbld);

#ifdef __cplusplus
}
#endif

#endif /* DBLD_H */
