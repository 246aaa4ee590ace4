// libFuzzer target of the text format reader: any byte string as a stream.
// DBLD_get must neither crash nor allocate beyond what the input justifies
// (libFuzzer's memory limits report that as a failure), and what it returns
// must survive a round trip through DBLD_put and DBLD_get unchanged, as far
// as the written lines fit the reader's line length.
#include "dbld.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The longest line DBLD_put wrote into text (line feed included).
size_t laengste_zeile(const char* text, size_t n)
{
    size_t laengste = 0, start = 0;
    for (size_t i = 0; i < n; ++i)
        if (text[i] == '\n') {
            if (i + 1 - start > laengste)
                laengste = i + 1 - start;
            start = i + 1;
        }
    return laengste;
}

bool gleich(const DBLD* a, const DBLD* b)
{
    if (a->n_rows != b->n_rows || a->n_cols != b->n_cols || a->val_min != b->val_min
        || a->val_max != b->val_max)
        return false;
    size_t n = (size_t)a->n_rows * a->n_cols;
    return memcmp(a->dbld, b->dbld, n * sizeof(int)) == 0
        && memcmp(a->mask, b->mask, n * sizeof(int)) == 0;
}

void rundreise(const DBLD* d)
{
    char* text = nullptr;
    size_t laenge = 0;
    FILE* aus = open_memstream(&text, &laenge);
    if (!aus)
        return;
    DBLD_put(aus, d);
    fclose(aus);
    if (laenge > 0 && laengste_zeile(text, laenge) <= 1023) {
        FILE* ein = fmemopen(text, laenge, "r");
        if (ein) {
            DBLD* zurueck = DBLD_get(ein);
            if (!zurueck || !gleich(d, zurueck))
                abort();
            DBLD_delete(&zurueck);
            fclose(ein);
        }
    }
    free(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::vector<char> puffer(data, data + size);
    FILE* fp = fmemopen(puffer.data(), puffer.size(), "r");
    if (!fp)
        return 0;
    // Several images from one stream, as a host reading a recording would.
    for (int i = 0; i < 4; ++i) {
        DBLD* d = DBLD_get(fp);
        if (!d)
            break;
        rundreise(d);
        DBLD* b = DBLD_bereinigen(d);
        DBLD_delete(&b);
        DBLD_delete(&d);
    }
    fclose(fp);
    return 0;
}
