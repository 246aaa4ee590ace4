// Writes druckmessung/dbld_winkeltabellen.h: the cosines, sines and tangents
// that the extended evaluation takes at fixed arguments, as constants, so
// that no result depends on the maths library of the machine it runs on.
//
//   make winkeltabellen      (builds this program and writes the header)
//
// The values are those of the single-precision maths library of the machine
// that runs this program, at the arguments formed exactly as the evaluation
// forms them.  The committed tables were made on Debian 12 (glibc 2.36) on
// x86-64; Debian 12's glibc on aarch64 and armhf gives the same values.
// Other C libraries differ in the last place for some angles (Debian 13's
// glibc 2.41 in the tangent of 36, 37, 41, 48, 59, 121 and 123 degrees), and
// one unit in the last place is enough to move a sit-bone angle: so the
// header is made once and committed, never at build time.
#include <cmath>
#include <cstdio>
#include <gnu/libc-version.h>

namespace {

constexpr double pi = 3.14159265358979323846;

// The calls go through volatile arguments, so that the compiler cannot fold
// them into constants of its own (which are correctly rounded and may differ
// from the library's).
float cos_lib(float w)
{
    volatile float arg = w;
    return cosf(arg);
}
float sin_lib(float w)
{
    volatile float arg = w;
    return sinf(arg);
}
float tan_lib(float w)
{
    volatile float arg = w;
    return tanf(arg);
}

const char* maschine()
{
#if defined(__x86_64__)
    return "x86-64";
#elif defined(__aarch64__)
    return "aarch64";
#elif defined(__arm__)
    return "32-bit ARM";
#elif defined(__i386__)
    return "32-bit x86";
#else
    return "an unnamed architecture";
#endif
}

// A float as an exact hexadecimal literal.
void literal(float f)
{
    printf("%af", (double)f);
}

} // namespace

int main()
{
    const int grad_min = -55, grad_max = 145;
    printf("// Made by tools/winkeltabellen (make winkeltabellen); do not edit.\n"
           "// Cosines, sines and tangents of the extended evaluation at its fixed\n"
           "// arguments, from the single-precision maths library of glibc %s on\n"
           "// %s, as exact hexadecimal float literals.\n"
           "#ifndef DBLD_WINKELTABELLEN_H\n"
           "#define DBLD_WINKELTABELLEN_H\n\n"
           "namespace dbld_winkel {\n\n",
           gnu_get_libc_version(), maschine());

    // The ring angles: w from 0 in steps of 10 degrees as float radians,
    // accumulated in float, while 2 pi - w > 0.01.
    const float STEP_RAD = (float)(10 * pi / 180);
    int n = 0;
    for (float w = 0; 2 * pi - (double)w > 0.01; w += STEP_RAD)
        ++n;
    printf("struct RINGWINKEL {\n    float w, cos_w, sin_w;\n};\n\n"
           "// The angles of one ring of the inscribed-circle analysis (w from 0 in\n"
           "// steps of 10 degrees as float radians, accumulated in float, while\n"
           "// 2 pi - w > 0.01), with their cosines and sines.\n"
           "inline constexpr int RING_N = %d;\n"
           "inline constexpr RINGWINKEL ring[RING_N] = {\n",
           n);
    float w = 0;
    for (int i = 0; i < n; ++i, w += STEP_RAD) {
        printf("    {");
        literal(w);
        printf(", ");
        literal(cos_lib(w));
        printf(", ");
        literal(sin_lib(w));
        printf("},\n");
    }
    printf("};\n\n");

    // Whole-degree direction angles g as (float)(g * pi / 180).
    printf("struct GRADWINKEL {\n    float cos_w, sin_w, tan_w;\n};\n\n"
           "// Whole-degree direction angles g from GRAD_MIN to GRAD_MAX, each taken as\n"
           "// (float)(g * pi / 180), with its cosine, sine and tangent: the axes of the\n"
           "// axis search (35 .. 75 and 105 .. 145 degrees) and of the ellipses (those,\n"
           "// and those less 90).  Element g - GRAD_MIN belongs to g degrees.\n"
           "inline constexpr int GRAD_MIN = %d;\n"
           "inline constexpr int GRAD_MAX = %d;\n"
           "inline constexpr GRADWINKEL grad[GRAD_MAX - GRAD_MIN + 1] = {\n",
           grad_min, grad_max);
    for (int g = grad_min; g <= grad_max; ++g) {
        float rad = (float)(g * pi / 180);
        printf("    {");
        literal(cos_lib(rad));
        printf(", ");
        literal(sin_lib(rad));
        printf(", ");
        literal(tan_lib(rad));
        printf("}, // %d\n", g);
    }
    printf("};\n\n} // namespace dbld_winkel\n\n#endif\n");
    return 0;
}
