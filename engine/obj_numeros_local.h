// obj_numeros_local.h - private to the OBJ loader's grammar
// (obj_sentencias.cpp), its only includer: the character classes and the
// fast reading of a number.
//
// Every number of a statement is read one way first: the fast reading below
// takes the spellings exporters write and gives exactly what scanf gives for
// them. It works on bytes in memory, up to a byte that plainly ends the
// number. For anything else it returns false having moved nothing, and the
// number is read by scanf's rules, step by step, in obj_sentencias.cpp.
#ifndef TALO_OBJ_NUMEROS_LOCAL_H
#define TALO_OBJ_NUMEROS_LOCAL_H

#include <charconv>
#include <cstdint>
#include <cstring>
#include <system_error>

// ---- Character classes (C locale) ----

struct TablaBytes {
    bool es[256];
};

constexpr TablaBytes HacerTabla(const char *bytes) {
    TablaBytes t = {};
    for (; *bytes; bytes++) t.es[(unsigned char)*bytes] = true;
    return t;
}

constexpr TablaBytes kBlancos = HacerTabla(" \t\n\v\f\r");

inline bool Blanco(unsigned char c) { return kBlancos.es[c]; }
inline bool Digito(int c) { return (unsigned)(c - '0') < 10u; }
inline bool DigitoHex(int c) { return Digito(c) || (unsigned)((c | 0x20) - 'a') < 6u; }

inline const unsigned char *Blancos(const unsigned char *q) {
    while (Blanco(*q)) q++;   // the sentinel is not blank
    return q;
}

// ---- Digits, eight at a time ----

// The run of decimal digits at the start of the 8 bytes at q (up to 8): its
// length, and its value in *valor. Eight bytes are read whatever the run's
// length; every run ends at the input's sentinel at the latest, and
// readable bytes follow it (kRelleno, obj_local.h). The bytes are taken as
// one little-endian word: after XOR with '0' a digit byte holds 0-9, and its
// high nibble and that of itself plus 6 are 0; any other byte fails one of
// the two. A carry out of a failing byte can only spoil bytes after it, past
// the end of the run.
inline int Cifras8(const unsigned char *q, uint64_t *valor) {
    uint64_t x;
    memcpy(&x, q, 8);
    const uint64_t t = x ^ 0x3030303030303030ULL;
    const uint64_t malas = (t | (t + 0x0606060606060606ULL)) & 0xF0F0F0F0F0F0F0F0ULL;
    const int n = malas ? __builtin_ctzll(malas) >> 3 : 8;
    if (n == 0) {
        *valor = 0;
        return 0;
    }
    // The digits moved to the top bytes, then summed in pairs, fours, eights.
    uint64_t v = t << (64 - 8 * n);
    v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFULL;
    v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFULL;
    v = (v * 10000 + (v >> 32)) & 0xFFFFFFFFULL;
    *valor = v;
    return n;
}

// Past a run of digits of any length, eight at a time.
inline const unsigned char *SaltarCifras(const unsigned char *q) {
    for (;;) {
        uint64_t x;
        memcpy(&x, q, 8);
        const uint64_t t = x ^ 0x3030303030303030ULL;
        const uint64_t malas = (t | (t + 0x0606060606060606ULL)) & 0xF0F0F0F0F0F0F0F0ULL;
        if (malas) return q + (__builtin_ctzll(malas) >> 3);
        q += 8;
    }
}

// ---- The fast reading ----
//
// Both readings start on the number's first byte (the blanks before it
// already skipped) and need the byte that ends the number in memory: when
// that byte is the sentinel at `fin`, the file may go on with more digits.

// "%d": an optional sign and 1 to 16 digits. Below 10^16 the number is its
// own strtol value, of which scanf keeps the low 32 bits.
inline bool EnteroRapido(const unsigned char **pq, const unsigned char *fin, int *destino) {
    const unsigned char *q = *pq;
    const bool negativo = *q == '-';
    q += negativo || *q == '+';
    uint64_t v;
    int n = Cifras8(q, &v);
    if (n == 8) {
        uint64_t resto;
        const int m = Cifras8(q + 8, &resto);
        if (m == 8) return false;
        static const uint64_t kPotencias10[8] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
        v = v * kPotencias10[m] + resto;
        n += m;
    }
    if (n == 0 || q + n == fin) return false;
    *destino = (int)(uint32_t)(negativo ? 0 - v : v);
    *pq = q + n;
    return true;
}

// At most this many digits before the exponent, and this many in it: well
// inside what every conversion settles exactly; longer spellings go to
// scanf's rules.
const int kCifrasRapidas = 19;
const int kCifrasExponente = 4;

// "%f": an optional minus, digits, an optional point and digits (a digit on
// one side at least), an optional exponent of e or E, an optional sign and
// digits, then a blank. Converted by std::from_chars, which rounds correctly
// to float, as strtof does, on exactly this grammar. A result that does not
// fit a float ("1e99", "1e-50") is left to scanf's rules.
inline bool RealRapido(const unsigned char **pq, float *destino) {
    const unsigned char *const ini = *pq;
    const unsigned char *q = ini + (*ini == '-');
    const unsigned char *fin_entera = SaltarCifras(q);
    long cifras = fin_entera - q;
    q = fin_entera;
    if (*q == '.') {
        const unsigned char *fin_fraccion = SaltarCifras(q + 1);
        cifras += fin_fraccion - (q + 1);
        q = fin_fraccion;
    }
    if (cifras == 0 || cifras > kCifrasRapidas) return false;
    if ((*q | 0x20) == 'e') {
        const unsigned char *exponente = q + 1 + (q[1] == '+' || q[1] == '-');
        const unsigned char *fin_exponente = SaltarCifras(exponente);
        const long n = fin_exponente - exponente;
        if (n == 0 || n > kCifrasExponente) return false;   // "1e+" is scanf's
        q = fin_exponente;
    }
    if (!Blanco(*q)) return false;
    float f;
    const std::from_chars_result r = std::from_chars((const char *)ini, (const char *)q, f);
    if (r.ec != std::errc() || r.ptr != (const char *)q) return false;
    *destino = f;
    *pq = q;
    return true;
}

#endif
