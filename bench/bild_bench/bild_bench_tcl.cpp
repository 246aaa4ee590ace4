// Benchmark helper for bench/bench_bild.tcl (built only with the benchmarks,
// loaded with `load`, not a package of the system): libjpeg alone in the
// Tcl process, so that ::druckbild::jpegdata and the compression of the
// same raster are timed side by side.
//   ::bild_bench::raster werte anzahl_zeilen anzahl_spalten
//       draws the image as jpegdata does by default (range from
//       DBLD_min_max, resolution 20, quality 80) and keeps the raster;
//       returns libjpeg's JPEG of it (the bytes jpegdata must give)
//   ::bild_bench::libjpeg
//       compresses the kept raster once; returns the microseconds
#include "dbld.h"
#include "dbld_tcl.h"

#include <jpeglib.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct RASTER {
    std::vector<unsigned char> rgb;
    int breite = 0, hoehe = 0, quality = 80;
};
RASTER raster;

void kopieren(void* ausgabe, int, int, const unsigned char* farbe)
{
    unsigned char** p = (unsigned char**)ausgabe;
    memcpy(*p, farbe, 3);
    *p += 3;
}

// The writer's libjpeg calls on the kept raster, into a buffer from malloc.
unsigned long komprimieren(unsigned char** puffer)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr fehler;
    cinfo.err = jpeg_std_error(&fehler);
    jpeg_create_compress(&cinfo);
    unsigned long laenge = 0;
    jpeg_mem_dest(&cinfo, puffer, &laenge);
    cinfo.image_width = raster.breite;
    cinfo.image_height = raster.hoehe;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, raster.quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW zeile = raster.rgb.data() + (size_t)cinfo.next_scanline * 3 * raster.breite;
        jpeg_write_scanlines(&cinfo, &zeile, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return laenge;
}

int Raster_Cmd(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    if (objc != 4) {
        Tcl_WrongNumArgs(interp, 1, objv, "werte anzahl_zeilen anzahl_spalten");
        return TCL_ERROR;
    }
    int n_y, n_x;
    dbld_tcl::INT_FELD werte;
    if (dbld_tcl::druckbild_lesen(interp, objv[1], objv[2], objv[3], false, &n_y, &n_x,
                                  &werte) != TCL_OK)
        return TCL_ERROR;
    if (n_y < 1 || n_x < 1 || n_y > 1000 || n_x > 1000)
        return dbld_tcl::fehler(interp, dbld_tcl::FEHLER::wert, "1 .. 1000 rows and columns");
    std::vector<int> maske((size_t)n_y * n_x, 0);
    DBLD dbld = {n_y, n_x, werte.get(), 0, 0, maske.data()};
    DBLD_min_max(&dbld);
    BILDPARAMETER par = {20, 0, 0, 0, 80};
    DBLD_pixsize(&raster.breite, &raster.hoehe, &dbld, par.resolution, par.frame);
    raster.quality = par.quality;
    raster.rgb.assign(3 * (size_t)raster.breite * raster.hoehe, 0);
    unsigned char* position = raster.rgb.data();
    DBLD_put_gen(&position, kopieren, &dbld, &par);

    unsigned char* puffer = nullptr;
    unsigned long laenge = komprimieren(&puffer);
    Tcl_SetObjResult(interp, Tcl_NewByteArrayObj(puffer, (int)laenge));
    free(puffer);
    return TCL_OK;
}

int Libjpeg_Cmd(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    if (objc != 1) {
        Tcl_WrongNumArgs(interp, 1, objv, "");
        return TCL_ERROR;
    }
    if (raster.rgb.empty())
        return dbld_tcl::fehler(interp, dbld_tcl::FEHLER::wert,
                                "no raster: ::bild_bench::raster first");
    auto t0 = std::chrono::steady_clock::now();
    unsigned char* puffer = nullptr;
    komprimieren(&puffer);
    free(puffer);
    auto t1 = std::chrono::steady_clock::now();
    Tcl_SetObjResult(interp,
                     Tcl_NewDoubleObj(std::chrono::duration<double, std::micro>(t1 - t0).count()));
    return TCL_OK;
}

} // namespace

extern "C" DBLD_EXPORT int Bild_bench_Init(Tcl_Interp* interp)
{
    Tcl_CreateObjCommand(interp, "::bild_bench::raster", Raster_Cmd, nullptr, nullptr);
    Tcl_CreateObjCommand(interp, "::bild_bench::libjpeg", Libjpeg_Cmd, nullptr, nullptr);
    return TCL_OK;
}
