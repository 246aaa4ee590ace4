// The station cipher: TEA blocks, key from password, packing, buffer sizes
// and the hexadecimal text.
#include "crypt/crypt_tea.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// TEA as Wheeler and Needham published it, written out here independently
// of the library: 32 cycles, delta 0x9E3779B9.
void ref_encrypt(uint32_t v[2], const uint32_t k[4])
{
    uint32_t y = v[0], z = v[1], sum = 0, delta = 0x9E3779B9u;
    for (int n = 32; n > 0; --n) {
        sum += delta;
        y += ((z << 4) + k[0]) ^ (z + sum) ^ ((z >> 5) + k[1]);
        z += ((y << 4) + k[2]) ^ (y + sum) ^ ((y >> 5) + k[3]);
    }
    v[0] = y;
    v[1] = z;
}

// The cipher bytes of one block of plain bytes (big-endian words), by the
// reference.
std::vector<unsigned char> ref_block(const unsigned char p[8], const uint32_t k[4])
{
    uint32_t v[2];
    for (int w = 0; w < 2; ++w)
        v[w] = (uint32_t)p[4 * w] << 24 | (uint32_t)p[4 * w + 1] << 16 |
               (uint32_t)p[4 * w + 2] << 8 | p[4 * w + 3];
    ref_encrypt(v, k);
    std::vector<unsigned char> c;
    for (int w = 0; w < 2; ++w)
        for (int s = 24; s >= 0; s -= 8)
            c.push_back((unsigned char)(v[w] >> s));
    return c;
}

// The cipher bytes of a text by the reference: 8-byte blocks, the last one
// padded with zero bytes.
std::vector<unsigned char> ref_text(const std::string& text, const uint32_t k[4])
{
    std::vector<unsigned char> c;
    for (size_t pos = 0; pos < text.size(); pos += 8) {
        unsigned char p[8] = {0};
        for (size_t i = 0; i < 8 && pos + i < text.size(); ++i)
            p[i] = (unsigned char)text[pos + i];
        std::vector<unsigned char> b = ref_block(p, k);
        c.insert(c.end(), b.begin(), b.end());
    }
    return c;
}

TEST(TeaReferenz, PublishedVectorForZeroKeyAndBlock)
{
    uint32_t v[2] = {0, 0};
    const uint32_t k[4] = {0, 0, 0, 0};
    ref_encrypt(v, k);
    EXPECT_EQ(v[0], 0x41ea3a0au);
    EXPECT_EQ(v[1], 0x94baa940u);
}

TEST(TeaDecrypt, PublishedVectorDecryptsToZeroBlock)
{
    TEA_KEY key = {0, 0, 0, 0};
    const unsigned char c[8] = {0x41, 0xea, 0x3a, 0x0a, 0x94, 0xba, 0xa9, 0x40};
    char plain[8];
    memset(plain, 'x', sizeof plain);
    EXPECT_EQ(tea_decrypt(plain, c, 8, &key), 0);
    for (char b : plain)
        EXPECT_EQ(b, 0);
}

TEST(Pwd2TeaKey, CharactersDealtRoundRobinNewestLowest)
{
    TEA_KEY key;
    pwd2tea_key(&key, "5c:0e:8b:21:47:d3");
    // Word 0 took '5', 'e', ':', '4', '3' and has lost the '5'.
    EXPECT_EQ(key[0], 0x653a3433u); // e : 4 3
    EXPECT_EQ(key[1], 0x633a3237u); // c : 2 7
    EXPECT_EQ(key[2], 0x3a38313au); // : 8 1 :
    EXPECT_EQ(key[3], 0x30623a64u); // 0 b : d

    pwd2tea_key(&key, "ab");
    EXPECT_EQ(key[0], 0xFFFFFF61u);
    EXPECT_EQ(key[1], 0xFFFFFF62u);
    EXPECT_EQ(key[2], 0xFFFFFFFFu);
    EXPECT_EQ(key[3], 0xFFFFFFFFu);

    pwd2tea_key(&key, "");
    for (uint32_t w : key)
        EXPECT_EQ(w, 0xFFFFFFFFu);

    // A byte above 0x7f enters as 0 .. 255, not sign-extended.
    pwd2tea_key(&key, "\x80");
    EXPECT_EQ(key[0], 0xFFFFFF80u);
}

class TeaText : public ::testing::Test {
protected:
    void SetUp() override { pwd2tea_key(&key, "aa:bb:cc:dd:ee:ff"); }
    std::vector<unsigned char> encrypt(const std::string& text, int l_e)
    {
        // Guard bytes behind the capacity show writes beyond it.
        std::vector<unsigned char> puffer((size_t)(l_e > 0 ? l_e : 0) + 16, 0xa5);
        int n = tea_encrypt(puffer.data(), l_e, text.c_str(), &key);
        for (size_t i = (size_t)(l_e > 0 ? l_e : 0); i < puffer.size(); ++i)
            EXPECT_EQ(puffer[i], 0xa5) << "written beyond the capacity at " << i;
        EXPECT_EQ(n % 8, 0);
        puffer.resize((size_t)n);
        return puffer;
    }
    TEA_KEY key;
};

TEST_F(TeaText, LengthsAndPaddingMatchTheReference)
{
    for (const std::string text :
         {"a", "abc", "abcde", "abcdefg", "abcdefgh", "abcdefghi",
          "0123456789abcdef", "0123456789abcdefX", "\xc3\xa4\xc3\xb6\xe2\x82\xac\xff"}) {
        std::vector<unsigned char> c = encrypt(text, 64);
        EXPECT_EQ(c.size(), 8 * ((text.size() + 7) / 8)) << text;
        EXPECT_EQ(c, ref_text(text, key)) << text;
    }
    EXPECT_TRUE(encrypt("", 64).empty());
}

TEST_F(TeaText, BlocksBeyondTheCapacityAreDropped)
{
    const std::string text = "0123456789abcdefXY"; // three blocks
    std::vector<unsigned char> voll = ref_text(text, key);
    EXPECT_EQ(encrypt(text, 24), voll);
    EXPECT_EQ(encrypt(text, 23), std::vector<unsigned char>(voll.begin(), voll.begin() + 16));
    EXPECT_EQ(encrypt(text, 8), std::vector<unsigned char>(voll.begin(), voll.begin() + 8));
    EXPECT_TRUE(encrypt(text, 7).empty());
    EXPECT_TRUE(encrypt(text, 0).empty());
    EXPECT_TRUE(encrypt(text, -8).empty());
}

TEST_F(TeaText, CapacityNearIntMaxDoesNotOverflow)
{
    unsigned char c[16];
    EXPECT_EQ(tea_encrypt(c, INT_MAX, "abcdefghi", &key), 16);
    EXPECT_EQ(std::vector<unsigned char>(c, c + 16), ref_text("abcdefghi", key));
}

TEST_F(TeaText, DecryptRoundTripsAndCountsNonZeroBytes)
{
    for (const std::string text : {"x", "abcdefgh", "Hallo Welt", "\xc3\xa4\xc3\xb6\xc3\xbc\xe2\x82\xac"}) {
        std::vector<unsigned char> c = encrypt(text, 64);
        std::vector<char> plain(c.size() + 8, 'x');
        int n = tea_decrypt(plain.data(), c.data(), (int)c.size(), &key);
        EXPECT_EQ(std::string(plain.data(), (size_t)n), text);
        // Padding bytes are written as zeros, nothing behind the blocks.
        for (size_t i = text.size(); i < c.size(); ++i)
            EXPECT_EQ(plain[i], 0);
        for (size_t i = c.size(); i < plain.size(); ++i)
            EXPECT_EQ(plain[i], 'x');
    }
}

TEST_F(TeaText, DecryptIgnoresBytesBeyondTheLastWholeBlock)
{
    std::vector<unsigned char> c = encrypt("0123456789", 64); // two blocks
    std::vector<char> plain(16, 'x');
    EXPECT_EQ(tea_decrypt(plain.data(), c.data(), 15, &key), 8);
    EXPECT_EQ(std::string(plain.data(), 8), "01234567");
    EXPECT_EQ(plain[8], 'x');
    EXPECT_EQ(tea_decrypt(plain.data(), c.data(), 7, &key), 0);
    EXPECT_EQ(tea_decrypt(plain.data(), c.data(), -9, &key), 0);
}

TEST_F(TeaText, WrongKeyCountsTheNonZeroDecryptedBytes)
{
    std::vector<unsigned char> c = encrypt("abcdefghijklmnop", 64);
    TEA_KEY falsch;
    pwd2tea_key(&falsch, "5c:0e:8b:21:47:d3");
    std::vector<char> plain(c.size());
    int n = tea_decrypt(plain.data(), c.data(), (int)c.size(), &falsch);
    int erwartet = 0;
    for (char b : plain)
        erwartet += b != 0;
    EXPECT_EQ(n, erwartet);
    EXPECT_NE(std::string(plain.data(), (size_t)n), "abcdefghijklmnop");
}

TEST(TeaKapazitaet, NextMultipleOfEightAboveTheLength)
{
    const int faelle[][2] = {{0, 8}, {1, 8}, {7, 8}, {8, 16}, {9, 16}, {16, 24}};
    for (const auto& f : faelle) {
        int k = -1;
        EXPECT_TRUE(tea_text::kapazitaet(f[0], &k));
        EXPECT_EQ(k, f[1]) << f[0];
    }
}

TEST(TeaKapazitaet, RejectsSizesWhoseHexTextWouldNotFitAnInt)
{
    int k = -1;
    // 2 * 1073741816 + 1 still fits an int; 2 * 1073741824 does not.
    EXPECT_TRUE(tea_text::kapazitaet(1073741815, &k));
    EXPECT_EQ(k, 1073741816);
    EXPECT_FALSE(tea_text::kapazitaet(1073741816, &k));
    EXPECT_FALSE(tea_text::kapazitaet(INT_MAX - 3, &k));
    EXPECT_FALSE(tea_text::kapazitaet(INT_MAX, &k));
    EXPECT_FALSE(tea_text::kapazitaet(-1, &k));
}

TEST(TeaHex, WritesTwoLowerCaseDigitsPerByte)
{
    const unsigned char d[] = {0x00, 0xab, 0xff, 0x10, 0x09};
    char text[11];
    memset(text, 'x', sizeof text);
    tea_text::hex_schreiben(text, d, 5);
    EXPECT_STREQ(text, "00abff1009");
    tea_text::hex_schreiben(text, d, 0);
    EXPECT_STREQ(text, "");
}

// What sscanf "%2x" makes of the text at each pair position, directly on the
// whole remaining text.
bool ref_hex(std::vector<unsigned char>* d, const char* text, int n)
{
    d->assign((size_t)n, 0);
    for (int i = 0; i < n; ++i) {
        unsigned int v;
        if (sscanf(text + 2 * i, "%2x", &v) != 1)
            return false;
        (*d)[(size_t)i] = (unsigned char)v;
    }
    return true;
}

TEST(TeaHex, ReadsPairsLikeScanf)
{
    struct Fall {
        const char* text;
        bool ok;
        std::vector<unsigned char> daten;
    };
    const Fall faelle[] = {
        {"00abFF10", true, {0x00, 0xab, 0xff, 0x10}},
        {"abc", true, {0xab}}, // odd last digit ignored
        {"zz", false, {}},
        {"a z1", false, {}},          // pair 1 starts at "z1"
        {"az", true, {0x0a}},         // the number stops before z
        {" a", true, {0x0a}},
        {"-1", true, {0xff}},
        {"0x", true, {0x00}},
        {"g0", false, {}},
        {"   1 2", true, {0x01, 0x01, 0x02}}, // white space skipped beyond the pair
        {"      ", false, {}},
    };
    for (const Fall& f : faelle) {
        int n = (int)strlen(f.text) / 2;
        std::vector<unsigned char> ref, d((size_t)n, 0x5a);
        bool ref_ok = ref_hex(&ref, f.text, n);
        bool ok = tea_text::hex_lesen(d.data(), f.text, n);
        EXPECT_EQ(ok, ref_ok) << f.text;
        EXPECT_EQ(ok, f.ok) << f.text;
        if (ok) {
            EXPECT_EQ(d, f.daten) << f.text;
            EXPECT_EQ(d, ref) << f.text;
        }
    }
}

TEST(TeaHex, LongWhiteSpaceRunsAgreeWithScanf)
{
    // Runs of white space of every length and position between digits.
    const char zeichen[] = {' ', '\t', '7', 'c', 'F', '\n', 'x', '0', '-'};
    unsigned int zustand = 12345;
    for (int fall = 0; fall < 2000; ++fall) {
        std::string text;
        int laenge = 1 + fall % 40;
        for (int i = 0; i < laenge; ++i) {
            zustand = zustand * 1103515245u + 12345u;
            text += zeichen[(zustand >> 16) % sizeof zeichen];
        }
        int n = laenge / 2;
        std::vector<unsigned char> ref, d((size_t)n, 0);
        bool ref_ok = ref_hex(&ref, text.c_str(), n);
        ASSERT_EQ(tea_text::hex_lesen(d.data(), text.c_str(), n), ref_ok) << '"' << text << '"';
        if (ref_ok) {
            ASSERT_EQ(d, ref) << '"' << text << '"';
        }
    }
}

} // namespace
