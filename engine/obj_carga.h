// obj_carga.h - private to the OBJ loader (CargarModeloOBJ, modelo.h).
//
// The loader is two files and this header between them:
//   obj_sentencias.cpp  the statements and their numbers, read exactly as
//                       scanf reads them, and the loading loop;
//   obj_bloques.cpp     the file brought into memory block by block, and the
//                       arrays the statements fill, grown and cut to size.
// The hot path is what runs for every statement or every number: the room
// check and the append, the character classes, the digit reader and the
// readers of numbers as exporters write them. It is written here as inline
// functions, so that obj_sentencias.cpp compiles the statement loop as one
// piece with all of it inlined (the general readers there are called only
// for the unusual spellings). What obj_bloques.cpp holds runs once per 64 KiB
// block or once per few MiB of an array, where a call costs nothing
// measurable; one translation unit for both would gain nothing.
#ifndef TALO_OBJ_CARGA_H
#define TALO_OBJ_CARGA_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "modelo.h"

// ---- The input buffer ----

// Bytes after the sentinel that can always be read (and are 0): the digit
// reader loads eight bytes at a time wherever a run of digits starts.
const size_t kRelleno = 16;

// buf holds [p, fin) unread; *fin is always 0, a sentinel that stops every
// scanning loop (a 0 byte is neither blank, digit, sign, point nor slash), so
// only a stop on a 0 byte needs to ask whether it is the sentinel. kRelleno
// zero bytes follow it.
struct Entrada {
    int            fd;
    unsigned char *buf;
    size_t         cap;   // bytes of buf usable for data
    unsigned char *p;
    unsigned char *fin;
    bool           eof;   // read() has returned 0 (or failed)
};

// Opens `ruta` (a regular file only) and reads the first block. Returns the
// file's size in bytes, or -1 when it cannot be opened or no buffer can be had
// (then there is nothing to close).
long long AbrirEntrada(Entrada *e, const char *ruta);
void CerrarEntrada(Entrada *e);

// Keeps the unread bytes [p, fin), moving them to the front, and reads until
// at least `quiero` bytes are unread or the file ends, growing the buffer if
// it cannot hold them. Returns false only if the buffer could not grow.
bool Recargar(Entrada *e, size_t quiero);

// ---- The arrays being filled ----

// An array of `num` elements with room for `cap`. `listo` counts the elements
// that can be written with no more checks (their pages already faulted in).
struct Arreglo {
    void  *datos;
    size_t num;
    size_t cap;
    size_t listo;
};

// Makes room for more elements of `tam` bytes, growing the array or faulting
// in pages ahead. Returns false when memory runs out or the count would pass
// INT_MAX (the array keeps what it holds).
bool Ampliar(Arreglo *a, size_t tam);

inline bool Sitio(Arreglo *a, size_t tam) { return a->num < a->listo || Ampliar(a, tam); }

// The holders: three floats shared by the "v", "vn" and "vt" statements and
// six ints, one per face slot (Vert[0..2], then Aux[0..2]). A read assigns
// only the holders it reaches; the others keep their values from earlier
// statements for the whole load.
struct Casillas {
    float reales[3];
    int   enteros[6];
};

struct Carga {
    Arreglo  v, vn, vt, f;
    Casillas casillas;
    int      formato;
};

// First capacities from the file's size; only address space is taken.
void Reservar(Carga *l, long long bytes);

// The model: every array cut to exactly its count, null when empty.
Modelo Entregar(Carga *l);

inline bool AgregarVector(Arreglo *a, const float r[3]) {
    if (!Sitio(a, sizeof(Vector))) return false;
    Vector *v = (Vector *)a->datos + a->num++;
    v->x = r[0];
    v->y = r[1];
    v->z = r[2];
    return true;
}

// Every face number minus 1, wrapping (INT_MIN gives INT_MAX); Res zeroed.
inline bool AgregarCara(Arreglo *a, const int e[6]) {
    if (!Sitio(a, sizeof(Cara))) return false;
    Cara *c = (Cara *)a->datos + a->num++;
    for (int k = 0; k < 3; k++) {
        c->Vert[k] = (int)((unsigned)e[k] - 1u);
        c->Aux[k] = (int)((unsigned)e[3 + k] - 1u);
        c->Res[k] = 0;
    }
    return true;
}

// ---- Digits and the fast number readers ----
//
// Written here, inline, because they run for every number of every
// statement; both the statement fast path and the general scanf readers in
// obj_sentencias.cpp are built on them.

// Character classes (C locale).

struct TablaBytes {
    bool es[256];
};

// The bytes of `bytes`, and with `numeros` the digits and 0 as well.
constexpr TablaBytes HacerTabla(const char *bytes, bool numeros) {
    TablaBytes t = {};
    for (; *bytes; bytes++) t.es[(unsigned char)*bytes] = true;
    for (int c = '0'; c <= '9' && numeros; c++) t.es[c] = true;
    t.es[0] = numeros;
    return t;
}

constexpr TablaBytes kBlancos = HacerTabla(" \t\n\v\f\r", false);
// What "%f" can start with, and 0, which may be the sentinel: any other byte
// fails the read at once with nothing consumed.
constexpr TablaBytes kInicioReal = HacerTabla("+-.nNiI", true);

inline bool Blanco(unsigned char c) { return kBlancos.es[c]; }
inline bool Digito(int c) { return (unsigned)(c - '0') < 10u; }
inline bool DigitoHex(int c) { return Digito(c) || (unsigned)((c | 0x20) - 'a') < 6u; }

const uint64_t kPotencias10[9] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// The run of decimal digits at the start of the 8 bytes at q (up to 8): its
// length, and its value in *valor. Eight bytes are read whatever the run's
// length; every run ends at the sentinel at the latest, and kRelleno
// readable bytes follow it. The bytes are taken as one little-endian word:
// after XOR with '0' a digit byte holds 0-9, and its high nibble and that of
// itself plus 6 are 0; any other byte fails one of the two. A carry out of a
// failing byte can only spoil bytes after it, past the end of the run.
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

// Reads a run of digits at *pq into *m (multiplying on), eight at a time, at
// most sixteen (*m stays below 2^64 when it started below 100). Returns the
// number taken.
inline int Cifras(const unsigned char **pq, uint64_t *m) {
    int total = 0;
    for (;;) {
        uint64_t v;
        const int n = Cifras8(*pq, &v);
        *m = *m * kPotencias10[n] + v;
        *pq += n;
        total += n;
        if (n < 8 || total > 10) return total;
    }
}

// ---- Numbers as exporters write them ----
//
// The fast readers below accept only the common spellings, and there give
// exactly what the general readers (obj_sentencias.cpp) give; for anything
// else they return false having moved nothing, and the general readers take
// over.

// "%d" with no blanks before it: an optional minus, 1 to 7 digits, closed by
// a byte in memory. False (nothing moved) for anything else.
inline bool EnteroCorto(const unsigned char **pq, const unsigned char *fin, int *destino) {
    const unsigned char *q = *pq;
    const bool negativo = *q == '-';
    q += negativo;
    uint64_t v;
    const int n = Cifras8(q, &v);
    if (n == 0 || n == 8) return false;
    q += n;
    if (q == fin) return false;   // the number may go on past the window
    *destino = negativo ? -(int)v : (int)v;   // below 10^7: no overflow
    *pq = q;
    return true;
}

const double kPotencias[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The decimal m * 10^k rounded to float, when one double operation does it
// exactly. m <= 2^53 and 10^|k| (|k| <= 22) are exact doubles, so the product
// or quotient d is the decimal correctly rounded to double. Rounding d to
// float then gives the decimal correctly rounded to float unless d is exactly
// halfway between two floats (a float midpoint is itself a double, so a
// decimal and its nearest double can only lie on opposite sides of one when
// the double is that midpoint). Halfway cases and results outside the normal
// float range are left to strtof.
inline bool DecimalRapido(uint64_t m, int64_t k, bool negativo, float *destino) {
    if (m == 0) {
        *destino = negativo ? -0.0f : 0.0f;
        return true;
    }
    if (m > ((uint64_t)1 << 53) || k < -22 || k > 22) return false;
    const double d = k >= 0 ? (double)m * kPotencias[k] : (double)m / kPotencias[-k];
    if (!(d >= 0x1p-126 && d < 0x1.fffffep127)) return false;
    uint64_t bits;
    memcpy(&bits, &d, sizeof bits);
    if ((bits & 0x1fffffffu) == 0x10000000u) return false;   // halfway between floats
    const float f = (float)d;
    *destino = negativo ? -f : f;
    return true;
}

// "%f" with no blanks before it: an optional minus, up to 7 digits, a point
// and up to 7 more, then a blank. False (nothing moved) for anything else.
inline bool RealCorto(const unsigned char **pq, float *destino) {
    const unsigned char *q = *pq;
    const bool negativo = *q == '-';
    q += negativo;
    uint64_t m, f = 0;
    const int n = Cifras8(q, &m);
    if (n == 8) return false;
    q += n;
    int nf = 0;
    if (*q == '.') {
        nf = Cifras8(q + 1, &f);
        if (nf == 8) return false;
        q += 1 + nf;
    }
    if (n + nf == 0 || !Blanco(*q)) return false;
    // DecimalRapido's argument, with its range checks settled: the digits
    // make less than 10^14 < 2^53, and any non-zero value is at least 1e-7.
    const double d = (double)(m * kPotencias10[nf] + f) / kPotencias[nf];
    uint64_t bits;
    memcpy(&bits, &d, sizeof bits);
    if ((bits & 0x1fffffffu) == 0x10000000u) return false;   // halfway between floats
    *destino = negativo ? -(float)d : (float)d;
    *pq = q;
    return true;
}

inline const unsigned char *Blancos(const unsigned char *q) {
    while (Blanco(*q)) q++;   // the sentinel is not blank
    return q;
}

#endif
