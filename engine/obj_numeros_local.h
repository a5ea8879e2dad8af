// obj_numeros_local.h - private to the OBJ loader's grammar
// (obj_sentencias.cpp and its scanf rules, obj_reglas_local.h): the
// character classes, the bounds of tokens, and the fast reading of a number.
//
// Every number of a statement is read one way first: the fast reading below
// takes the spellings exporters write and gives exactly what scanf gives for
// them. It works on a token whose bounds are already known, and only has to
// check that the number fills it. For anything else it returns false having
// assigned nothing, and the statement is read by scanf's rules, step by
// step (obj_reglas_local.h).
#ifndef TALO_OBJ_NUMEROS_LOCAL_H
#define TALO_OBJ_NUMEROS_LOCAL_H

#include <charconv>
#include <cstdint>
#include <cstring>
#include <system_error>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// ---- Character classes (C locale) ----

struct TablaBytes {
    bool es[256];
};

constexpr TablaBytes HacerTabla(const char *bytes)
{
    TablaBytes t = {};
    for (; *bytes; bytes++) t.es[(unsigned char)*bytes] = true;
    return t;
}

constexpr TablaBytes kBlancos = HacerTabla(" \t\n\v\f\r");

inline bool Blanco(unsigned char c) { return kBlancos.es[c]; }
inline bool Digito(int c) { return (unsigned)(c - '0') < 10u; }
inline bool DigitoHex(int c) { return Digito(c) || (unsigned)((c | 0x20) - 'a') < 6u; }

// The bytes "%d" and "%f" can start with (after their blanks), and 0, which
// may be the window's end: a read that meets any other byte fails at once
// with nothing consumed, as scanf's rules would find step by step.
constexpr TablaBytes kInicioEntero = HacerTabla("0123456789+-");
constexpr TablaBytes kInicioReal = HacerTabla("0123456789+-.nNiI");

inline bool EmpiezaNumero(const TablaBytes &t, unsigned char c) { return c == 0 || t.es[c]; }

inline const unsigned char *Blancos(const unsigned char *q)
{
    while (Blanco(*q)) q++;   // the sentinel is not blank
    return q;
}

// ---- The bounds of tokens ----
//
// Where tokens end is found 64 bytes at a time from a mask of the
// separators (blanks and slashes), before any number is read: the numbers'
// own reading then never decides where the next one ends, so consecutive
// numbers, and statements, are read side by side. A token starts after the
// separators that end the one before it, usually one. The masks look at no
// block of 64 that starts past the window's end (kRelleno, obj_local.h,
// keeps them in the buffer). The sentinel and the zeros after it are no
// separators, so a token that reaches them has no end or is no number.

// Bit i set when q[i] is a blank or a slash.
inline uint64_t Separadores(const unsigned char *q)
{
    uint64_t m = 0;
#if defined(__SSE2__)
    // Blanks are ' ' and 9-13: x - 9 is at most 4 unsigned.
    for (int i = 0; i < 4; i++) {
        const __m128i x = _mm_loadu_si128((const __m128i *)(q + 16 * i));
        const __m128i t = _mm_sub_epi8(x, _mm_set1_epi8(9));
        const __m128i s = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(x, _mm_set1_epi8('/'))),
            _mm_cmpeq_epi8(_mm_min_epu8(t, _mm_set1_epi8(4)), t));
        m |= (uint64_t)(uint32_t)_mm_movemask_epi8(s) << (16 * i);
    }
#else
    for (int i = 0; i < 64; i++) m |= (uint64_t)(Blanco(q[i]) || q[i] == '/') << i;
#endif
    return m;
}

// The token ends not yet taken, a bit for each byte of the 64 from `base`
// that is a separator after a token byte.
struct Bordes {
    const unsigned char *base;
    uint64_t pendientes;
    uint64_t separa;            // the separator mask of those 64 bytes
    const unsigned char *fin;   // the window's end
};

// From q, as if a separator came before it.
inline Bordes EmpezarBordes(const unsigned char *q, const unsigned char *fin)
{
    const uint64_t s = Separadores(q);
    return {q, s & ~(s << 1 | 1), s, fin};
}

// The next block of 64 bytes, or past the window's end, the byte after the
// sentinel as the only end left, for good: a token that ends there holds
// the sentinel, so it is no keyword and no number.
__attribute__((always_inline)) inline void MasBordes(Bordes *b)
{
    if (b->base + 64 > b->fin) {
        b->base = b->fin + 1;
        b->pendientes = 1;
        return;
    }
    b->base += 64;
    const uint64_t antes = b->separa >> 63;
    b->separa = Separadores(b->base);
    b->pendientes = b->separa & ~(b->separa << 1 | antes);
}

// The end of the next token: the separator after its last byte.
inline const unsigned char *FinFicha(Bordes *b)
{
    while (__builtin_expect(b->pendientes == 0, 0)) MasBordes(b);
    const unsigned char *r = b->base + (unsigned)__builtin_ctzll(b->pendientes);
    b->pendientes &= b->pendientes - 1;
    return r;
}

// Gives back the end just taken, r, so that it is the next again (it lies
// in the current block of 64).
inline void DevolverFin(Bordes *b, const unsigned char *r) { b->pendientes |= (uint64_t)1 << (r - b->base); }

// The first byte of the token after the separator at q that ends the one
// before it: past the blanks, usually just one. A slash there (scanf would
// stop on it) is returned as it is.
inline const unsigned char *InicioFicha(const unsigned char *q)
{
    if (__builtin_expect(*q != '/' && !Blanco(q[1]), 1)) return q + 1;
    return Blancos(q);
}

// ---- Digits, eight at a time ----
//
// Eight bytes are taken as one little-endian word: after XOR with '0' a
// digit byte holds 0-9, and its high nibble and that of itself plus 6 are
// 0; any other byte fails one of the two. A carry out of a failing byte can
// only spoil bytes after it, and the failing byte itself is seen.

// The value of eight digit bytes (0-9, the first the most significant):
// summed in pairs, fours, eights, each multiplication adding a shifted copy
// times the weight.
inline uint64_t Sumar8(uint64_t v)
{
    v = (v * (1 + (10 << 8))) >> 8 & 0x00FF00FF00FF00FFULL;
    v = (v * (1 + (100 << 16))) >> 16 & 0x0000FFFF0000FFFFULL;
    return (v * (1 + (10000ULL << 32))) >> 32;
}

// The last n bytes of a word, 0 <= n <= 8 (the others cleared, as leading
// zeros).
const uint64_t kAltos[9] = {0,
                            0xFF00000000000000ULL,
                            0xFFFF000000000000ULL,
                            0xFFFFFF0000000000ULL,
                            0xFFFFFFFF00000000ULL,
                            0xFFFFFFFFFF000000ULL,
                            0xFFFFFFFFFFFF0000ULL,
                            0xFFFFFFFFFFFFFF00ULL,
                            0xFFFFFFFFFFFFFFFFULL};

// The value of the n digits that end at fin, 0 <= n <= 8, of the eight
// bytes before fin (kDelante, obj_local.h, keeps them readable).
inline uint64_t Valor8(const unsigned char *fin, size_t n)
{
    uint64_t x;
    memcpy(&x, fin - 8, 8);
    return Sumar8((x ^ 0x3030303030303030ULL) & kAltos[n]);
}

// The run of decimal digits at the start of the 8 bytes at q (up to 8): its
// length, and its value in *valor. Eight bytes are read whatever the run's
// length; every run ends at the input's sentinel at the latest, and
// readable bytes follow it (kRelleno, obj_local.h).
inline int Cifras8(const unsigned char *q, uint64_t *valor)
{
    uint64_t x;
    memcpy(&x, q, 8);
    const uint64_t t = x ^ 0x3030303030303030ULL;
    const uint64_t malas = (t | (t + 0x0606060606060606ULL)) & 0xF0F0F0F0F0F0F0F0ULL;
    const int n = malas ? __builtin_ctzll(malas) >> 3 : 8;
    *valor = Valor8(q + n, (size_t)n);
    return n;
}

// The value of the n digits that end at fin, 1 <= n <= 8, in *valor; false
// if one of the n bytes is no digit: Cifras8 with the run's length known.
inline bool Digitos(const unsigned char *fin, size_t n, uint64_t *valor)
{
    uint64_t x;
    memcpy(&x, fin - 8, 8);
    const uint64_t t = (x ^ 0x3030303030303030ULL) & kAltos[n];
    if ((t | (t + 0x0606060606060606ULL)) & 0xF0F0F0F0F0F0F0F0ULL) return false;
    *valor = Sumar8(t);
    return true;
}

const uint64_t kPotencias10[9] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// At most this many digits before the exponent, and this many in it: the
// fast reading's limits. Longer spellings go to scanf's rules.
const int kCifrasRapidas = 19;
const int kCifrasExponente = 4;

// A run of digits: its value (valid within kCifrasRapidas digits) and its
// length.
struct Tramo {
    uint64_t valor;
    int cifras;
};

// A run longer than eight digits, after the first eight (rare, so out of
// line): read on eight at a time, stopping once it passes kCifrasRapidas.
__attribute__((noinline)) inline Tramo MasCifras(const unsigned char *q, uint64_t m)
{
    int total = 0;
    for (;;) {
        uint64_t v;
        const int n = Cifras8(q + total, &v);
        m = m * kPotencias10[n] + v;
        total += n;
        if (n < 8 || total > kCifrasRapidas) return {m, total};
    }
}

// The run of digits at q, its value appended to the digits of m.
inline Tramo Cifras(const unsigned char *q, uint64_t m)
{
    uint64_t v;
    const int n = Cifras8(q, &v);
    if (__builtin_expect(n == 8, 0)) return MasCifras(q, m);
    return {m * kPotencias10[n] + v, n};
}

// ---- The fast reading ----
//
// Both readings take a whole token [q, fin), the blanks before it already
// skipped and the byte at fin a separator.

// "%d": an optional minus and 1 to 16 digits. Below 10^16 < 2^63 the number
// is its own strtol value (no saturation), of which scanf keeps the low 32
// bits. A sign or more than eight digits is rare, and read out of line
// (the result comes back by value, so that no holder's address is taken).
struct Entero {
    int valor;
    bool bien;
};

__attribute__((noinline)) inline Entero EnteroLargo(const unsigned char *q, const unsigned char *fin)
{
    const bool negativo = *q == '-';
    q += negativo;
    const size_t n = (size_t)(fin - q);
    uint64_t alto = 0, bajo;
    if (n - 1 >= 16 || (n > 8 && !Digitos(fin - 8, n - 8, &alto)) || !Digitos(fin, n > 8 ? 8 : n, &bajo))
        return {0, false};
    const uint64_t v = alto * 100000000 + bajo;
    return {(int)(uint32_t)(negativo ? 0 - v : v), true};
}

__attribute__((always_inline)) inline bool EnteroRapido(const unsigned char *q, const unsigned char *fin,
                                                        int *destino)
{
    const size_t n = (size_t)(fin - q);
    uint64_t v;
    if (__builtin_expect(n - 1 < 8 && Digitos(fin, n, &v), 1)) {
        *destino = (int)v;
        return true;
    }
    const Entero r = EnteroLargo(q, fin);
    if (r.bien) *destino = r.valor;
    return r.bien;
}

// 10^k for k from -22 to 22, each the double nearest to it (exact for
// k >= 0), beside the same negated: the sign of a number goes into its one
// multiplication, which gives -0 for "-0" as well.
const double kEscalas[45][2] = {
    {1e-22, -1e-22}, {1e-21, -1e-21}, {1e-20, -1e-20}, {1e-19, -1e-19}, {1e-18, -1e-18}, {1e-17, -1e-17},
    {1e-16, -1e-16}, {1e-15, -1e-15}, {1e-14, -1e-14}, {1e-13, -1e-13}, {1e-12, -1e-12}, {1e-11, -1e-11},
    {1e-10, -1e-10}, {1e-9, -1e-9},   {1e-8, -1e-8},   {1e-7, -1e-7},   {1e-6, -1e-6},   {1e-5, -1e-5},
    {1e-4, -1e-4},   {1e-3, -1e-3},   {1e-2, -1e-2},   {1e-1, -1e-1},   {1e0, -1e0},     {1e1, -1e1},
    {1e2, -1e2},     {1e3, -1e3},     {1e4, -1e4},     {1e5, -1e5},     {1e6, -1e6},     {1e7, -1e7},
    {1e8, -1e8},     {1e9, -1e9},     {1e10, -1e10},   {1e11, -1e11},   {1e12, -1e12},   {1e13, -1e13},
    {1e14, -1e14},   {1e15, -1e15},   {1e16, -1e16},   {1e17, -1e17},   {1e18, -1e18},   {1e19, -1e19},
    {1e20, -1e20},   {1e21, -1e21},   {1e22, -1e22},
};

// Whether the double d (0 or, in magnitude, a normal float) lies within 4 of
// its own units in the last place of a point halfway between two floats:
// the 29 low bits of its significand, which a float drops, are within 4 of
// 1 followed by zeros.
inline bool CercaDeMitad(double d)
{
    uint64_t bits;
    memcpy(&bits, &d, sizeof bits);
    return (uint32_t)((bits & 0x1fffffffu) - 0x10000000u + 4u) <= 8u;
}

// The decimal x = (-1)^negativo * m * 10^k rounded to float, when one
// multiplication settles it. m <= 2^53 is an exact double and the scale is
// within half a unit in the last place of 10^k, so d = m * scale is within 2
// units in the last place of x (two roundings, each at most 2^-53 relative).
// Float midpoints are the only points where rounding to float changes, so
// when no midpoint lies that close to d, x and d round to the same float;
// otherwise (CercaDeMitad) the full conversion decides. Within these limits
// d is 0 or a normal float's magnitude: 1e-22 > 2^-126 and 2^53 * 1e22 <
// 2^127.
inline bool DecimalExacto(uint64_t m, int k, bool negativo, float *destino)
{
    if (m > ((uint64_t)1 << 53) || k < -22 || k > 22) return false;
    const double d = (double)m * kEscalas[k + 22][negativo];
    if (CercaDeMitad(d)) return false;
    *destino = (float)d;
    return true;
}

// "%f": an optional minus, digits, an optional point and digits (a digit on
// one side at least), an optional exponent of e or E, an optional sign and
// digits. Correctly rounded to float, as strtof does: by one double
// operation where that is exact, else by std::from_chars, which reads
// exactly this grammar (save the plus). A result that does not fit a float
// ("1e99", "1e-50") is left to scanf's rules.
__attribute__((always_inline)) inline bool RealRapido(const unsigned char *ini, const unsigned char *fin,
                                                      float *destino)
{
    const bool negativo = *ini == '-';
    const unsigned char *q = ini + negativo;
    Tramo t = Cifras(q, 0);
    q += t.cifras;
    int cifras = t.cifras;
    int k = 0;
    float f;
    if (*q == '.') {
        // Usually the fraction ends the token: its length is known. With
        // fewer than 8 digits before the point that is the whole number.
        const size_t n = (size_t)(fin - q - 1);
        uint64_t v;
        if (n - 1 < 8 && Digitos(fin, n, &v)) {
            t = {t.valor * kPotencias10[n] + v, (int)n};
            if (cifras < 8 && DecimalExacto(t.valor, -(int)n, negativo, &f)) {
                *destino = f;
                return true;
            }
        } else {
            t = Cifras(q + 1, t.valor);
        }
        q += 1 + t.cifras;
        cifras += t.cifras;
        k = -t.cifras;
    }
    if (cifras == 0 || cifras > kCifrasRapidas) return false;
    if (__builtin_expect(q != fin, 0)) {
        if ((*q | 0x20) != 'e') return false;
        const unsigned char *r = q + 1;
        const bool menos = *r == '-';
        r += menos || *r == '+';
        const Tramo e = Cifras(r, 0);
        if (e.cifras == 0 || e.cifras > kCifrasExponente) return false;   // "1e+" is scanf's
        k += menos ? -(int)e.valor : (int)e.valor;
        if (r + e.cifras != fin) return false;
    }
    if (!DecimalExacto(t.valor, k, negativo, &f)) {
        const std::from_chars_result r = std::from_chars((const char *)ini, (const char *)fin, f);
        if (r.ec != std::errc() || r.ptr != (const char *)fin) return false;
    }
    *destino = f;
    return true;
}

#endif
