/*
 * crypt_tea.h - the station's string cipher.
 *
 * TEA (Tiny Encryption Algorithm, Wheeler and Needham) with a 128-bit key
 * derived from a password, texts packed into 8-byte blocks, and the reader
 * of the station's Ethernet address that serves as the station password.
 */
#ifndef CRYPT_TEA_H
#define CRYPT_TEA_H

#include "dbld.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The 128-bit TEA key: the words k0 .. k3. */
typedef uint32_t TEA_KEY[4];

/* Station password: the first 17 bytes of /sys/class/net/eth0/address,
 * NUL-terminated, into mac (room for 18 bytes).  Only a permanent hardware
 * address counts.  Returns 1 on success, 0 on failure with errno set
 * (EILSEQ: no permanent address; ENODATA: address file shorter than 17
 * bytes; otherwise as left by open or read). */
DBLD_EXPORT int get_mac(char* mac);

/* Key from a NUL-terminated password: all words 0xFFFFFFFF, then each
 * character dealt round-robin to the words, shifted in from the right. */
DBLD_EXPORT void pwd2tea_key(TEA_KEY* tea_key, const char* pwd);

/* Encrypts the NUL-terminated text plain in 8-byte blocks (the last one
 * padded with zero bytes) into encrypted, each block as two big-endian
 * words.  Blocks beyond the capacity l_e are dropped.  Returns the number
 * of bytes written, a multiple of 8. */
DBLD_EXPORT int tea_encrypt(unsigned char* encrypted, int l_e, const char* plain,
                            TEA_KEY* tea_key);

/* Decrypts the whole 8-byte blocks among the l bytes of encrypted into
 * plain (room for l bytes).  Returns the number of non-zero bytes among
 * the decrypted ones: the length of the text for a cipher text made by
 * tea_encrypt under the same key. */
DBLD_EXPORT int tea_decrypt(char* plain, const unsigned char* encrypted, int l,
                            TEA_KEY* tea_key);

#ifdef __cplusplus
}

/* Buffer sizes and the hexadecimal form of the cipher text, as ::kmqcrypt
 * uses them (not exported). */
namespace tea_text {

/* Capacity of the cipher buffer for a text of laenge bytes: the next
 * multiple of 8 above laenge.  false when the cipher text or its
 * hexadecimal form would not fit an int. */
bool kapazitaet(int laenge, int* kapazitaet);

/* Writes the n bytes of daten as 2 * n lower-case hexadecimal digits and a
 * NUL into text (room for 2 * n + 1 bytes). */
void hex_schreiben(char* text, const unsigned char* daten, int n);

/* Reads n bytes from the NUL-terminated text, one per pair of characters:
 * each pair position is converted like sscanf "%2x" (leading white space
 * skipped, at most two characters of the number), the low 8 bits kept; the
 * position advances by two whatever was consumed.  false when a
 * conversion yields no number.  text must hold at least 2 * n characters. */
bool hex_lesen(unsigned char* daten, const char* text, int n);

} // namespace tea_text
#endif

#endif /* CRYPT_TEA_H */
