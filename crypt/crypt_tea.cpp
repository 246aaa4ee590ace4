// TEA block cipher, key from password, packing of texts into blocks, and
// the hexadecimal form of the cipher text.
#include "crypt_tea.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

const uint32_t delta = 0x9E3779B9u;
const int zyklen = 32;

// One TEA encryption of the block v[0], v[1] under the key k[0..3].
void encrypt(uint32_t* v, uint32_t* k)
{
    uint32_t v0 = v[0], v1 = v[1], sum = 0;
    for (int i = 0; i < zyklen; ++i) {
        sum += delta;
        v0 += ((v1 << 4) + k[0]) ^ (v1 + sum) ^ ((v1 >> 5) + k[1]);
        v1 += ((v0 << 4) + k[2]) ^ (v0 + sum) ^ ((v0 >> 5) + k[3]);
    }
    v[0] = v0;
    v[1] = v1;
}

// One TEA decryption: the cycles of encrypt backwards.
void decrypt(uint32_t* v, uint32_t* k)
{
    uint32_t v0 = v[0], v1 = v[1], sum = 0xC6EF3720u; // 32 * delta mod 2^32
    for (int i = 0; i < zyklen; ++i) {
        v1 -= ((v0 << 4) + k[2]) ^ (v0 + sum) ^ ((v0 >> 5) + k[3]);
        v0 -= ((v1 << 4) + k[0]) ^ (v1 + sum) ^ ((v1 >> 5) + k[1]);
        sum -= delta;
    }
    v[0] = v0;
    v[1] = v1;
}

// Big-endian word at p.
uint32_t wort_lesen(const unsigned char* p)
{
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

// Writes w big-endian to p.
void wort_schreiben(unsigned char* p, uint32_t w)
{
    p[0] = (unsigned char)(w >> 24);
    p[1] = (unsigned char)(w >> 16);
    p[2] = (unsigned char)(w >> 8);
    p[3] = (unsigned char)w;
}

} // namespace

void pwd2tea_key(TEA_KEY* tea_key, const char* pwd)
{
    uint32_t* k = *tea_key;
    for (int i = 0; i < 4; ++i)
        k[i] = 0xFFFFFFFFu;
    // Character codes as bytes 0 .. 255 whatever the signedness of char.
    for (size_t i = 0; pwd[i] != '\0'; ++i)
        k[i % 4] = (k[i % 4] << 8) ^ (unsigned char)pwd[i];
}

int tea_encrypt(unsigned char* encrypted, int l_e, const char* plain, TEA_KEY* tea_key)
{
    const size_t l_p = strlen(plain);
    int n_e = 0;
    for (size_t pos = 0; pos < l_p; pos += 8) {
        // Blocks that do not fit are dropped; the rest of the text would
        // only give more of them.
        if (l_e - n_e < 8)
            break;
        // Both words left-aligned, a text ending inside the block padded
        // with zero bytes.
        uint32_t b[2] = {0, 0};
        for (size_t i = 0; i < 8; ++i) {
            uint32_t byte = pos + i < l_p ? (unsigned char)plain[pos + i] : 0;
            b[i / 4] = (b[i / 4] << 8) + byte;
        }
        encrypt(b, *tea_key);
        wort_schreiben(encrypted + n_e, b[0]);
        wort_schreiben(encrypted + n_e + 4, b[1]);
        n_e += 8;
    }
    return n_e;
}

int tea_decrypt(char* plain, const unsigned char* encrypted, int l, TEA_KEY* tea_key)
{
    const int l_b = l > 0 ? l - l % 8 : 0;
    int n = 0;
    for (int pos = 0; pos < l_b; pos += 8) {
        uint32_t b[2] = {wort_lesen(encrypted + pos), wort_lesen(encrypted + pos + 4)};
        decrypt(b, *tea_key);
        unsigned char block[8];
        wort_schreiben(block, b[0]);
        wort_schreiben(block + 4, b[1]);
        for (int i = 0; i < 8; ++i) {
            plain[pos + i] = (char)block[i];
            if (block[i] != 0)
                ++n;
        }
    }
    return n;
}

namespace tea_text {

bool kapazitaet(int laenge, int* kapazitaet)
{
    if (laenge < 0)
        return false;
    long long k = (long long)laenge + 8 - laenge % 8;
    // The hexadecimal text has two digits per byte and a NUL.
    if (k > (INT_MAX - 1) / 2)
        return false;
    *kapazitaet = (int)k;
    return true;
}

void hex_schreiben(char* text, const unsigned char* daten, int n)
{
    static const char ziffern[] = "0123456789abcdef";
    for (int i = 0; i < n; ++i) {
        text[2 * i] = ziffern[daten[i] >> 4];
        text[2 * i + 1] = ziffern[daten[i] & 0x0f];
    }
    text[n > 0 ? 2 * n : 0] = '\0';
}

bool hex_lesen(unsigned char* daten, const char* text, int n)
{
    // sscanf skips white space before a number without limit, possibly
    // beyond the pair; the end of the last run of white space found is kept
    // so that a long run is walked only once.  The number itself is then
    // converted from a copy of at most two characters, which is all that
    // "%2x" reads after the white space.
    size_t leer_ende = 0;
    for (int i = 0; i < n; ++i) {
        size_t pos = 2 * (size_t)i;
        if (pos < leer_ende)
            pos = leer_ende;
        while (text[pos] != '\0' && isspace((unsigned char)text[pos]))
            ++pos;
        leer_ende = pos;
        char zahl[3] = {text[pos], text[pos] != '\0' ? text[pos + 1] : '\0', '\0'};
        unsigned int wert;
        if (sscanf(zahl, "%2x", &wert) != 1)
            return false;
        daten[i] = (unsigned char)(wert & 0xff);
    }
    return true;
}

} // namespace tea_text
