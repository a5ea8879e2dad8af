// imagen_tga.cpp - TGA pixel data to R G B (A) bytes, bottom row first.
//
// Pixels are converted in file order, a row piece at a time, straight into
// the row of the output where they belong: a top-origin file fills the
// output from its last row up. Within a row the pixels go left to right in
// file order, and a right-to-left row is turned end for end once complete,
// so that every conversion loop writes with a fixed stride.
#include "imagen_local.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Widens a 5-bit channel to 8 bits by repeating its top bits below it, so
// that 0 stays 0 and 31 becomes 255.
unsigned char Ampliar5(unsigned v)
{
    v &= 31;
    return (unsigned char)((v << 3) | (v >> 2));
}

// Looks up `n` colour indices of `b` bytes each; writes the entries to `d`
// unless it is null. False at the first index outside the map.
template <size_t B>
bool Indices(const FormatoTGA &f, const unsigned char *s, size_t n, size_t b, unsigned char *d)
{
    const size_t entradas = f.entradas;
    const unsigned char *m = f.mapa;
    for (size_t i = 0; i < n; i++, s += b) {
        const size_t indice = b == 2 ? s[0] | (size_t)s[1] << 8 : s[0];
        const size_t k = indice - f.primero;   // wraps round below the first entry
        if (k >= entradas) return false;
        if (d) {
            memcpy(d, m + k * B, B);
            d += B;
        }
    }
    return true;
}

bool ConvertirIndices(const FormatoTGA &f, const unsigned char *s, size_t n, size_t b, unsigned char *d)
{
    return f.bytes_salida == 4 ? Indices<4>(f, s, n, b, d) : Indices<3>(f, s, n, b, d);
}

// Converts `n` stored pixels of class `c` from `s` into `d`, packed. With `d`
// null only the colour indices are checked. False at an index outside the map.
bool Convertir(const FormatoTGA &f, ClasePixel c, const unsigned char *s, size_t n, unsigned char *d)
{
    if (c == kIndice8 || c == kIndice16) return ConvertirIndices(f, s, n, BytesDeClase(c), d);
    if (!d) return true;
    switch (c) {
    case kColor16:
        for (size_t i = 0; i < n; i++, s += 2, d += 3) {
            const unsigned v = s[0] | (unsigned)s[1] << 8;
            d[0] = Ampliar5(v >> 10);
            d[1] = Ampliar5(v >> 5);
            d[2] = Ampliar5(v);
        }
        break;
    case kColor24:
        for (size_t i = 0; i < n; i++, s += 3, d += 3) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
        }
        break;
    case kColor32:
        for (size_t i = 0; i < n; i++, s += 4, d += 4) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
            d[3] = s[3];
        }
        break;
    case kGris8:
        for (size_t i = 0; i < n; i++, s += 1, d += 3) d[0] = d[1] = d[2] = s[0];
        break;
    case kGrisAlfa:
        for (size_t i = 0; i < n; i++, s += 2, d += 4) {
            d[0] = d[1] = d[2] = s[0];
            d[3] = s[1];
        }
        break;
    default: break;
    }
    return true;
}

// `n` copies of the pixel `px` (`bo` bytes) from `d` on.
void Repetir(unsigned char *d, const unsigned char *px, size_t n, size_t bo)
{
    for (size_t i = 0; i < n; i++, d += bo) memcpy(d, px, bo);
}

void InvertirFila(unsigned char *fila, size_t ancho, size_t bo)
{
    for (size_t a = 0, b = ancho - 1; a < b; a++, b--)
        std::swap_ranges(fila + a * bo, fila + (a + 1) * bo, fila + b * bo);
}

// Puts `n` stored pixels (or, when `repetido`, `n` copies of one) into the
// output from file position `*hechos` on, splitting them at row ends, and
// advances `*hechos`. With `salida` null only the indices are checked.
bool Escribir(const FormatoTGA &f, const unsigned char *s, size_t n, bool repetido, size_t *hechos,
              unsigned char *salida)
{
    if (!salida) {
        *hechos += n;
        return Convertir(f, f.clase, s, repetido ? 1 : n, nullptr);
    }
    const size_t bi = BytesDeClase(f.clase), bo = f.bytes_salida;
    unsigned char px[4];
    if (repetido && !Convertir(f, f.clase, s, 1, px)) return false;
    while (n > 0) {
        const size_t fy = *hechos / f.ancho, x = *hechos % f.ancho;
        const size_t m = std::min(n, f.ancho - x);
        unsigned char *fila = salida + (f.arriba ? f.alto - 1 - fy : fy) * f.ancho * bo;
        if (repetido) {
            Repetir(fila + x * bo, px, m, bo);
        } else {
            if (!Convertir(f, f.clase, s, m, fila + x * bo)) return false;
            s += m * bi;
        }
        *hechos += m;
        n -= m;
        if (f.derecha && x + m == f.ancho) InvertirFila(fila, f.ancho, bo);
    }
    return true;
}

// Run-length packets: a header byte whose top bit marks a run of one
// repeated pixel and whose low 7 bits hold the count less one; a run is
// followed by one pixel, a raw packet by `count` pixels.
bool DecodificarRLE(const FormatoTGA &f, const unsigned char *d, size_t tam, unsigned char *salida)
{
    const size_t total = f.ancho * f.alto, bi = BytesDeClase(f.clase);
    size_t pos = 0, hechos = 0;
    while (hechos < total) {
        if (pos >= tam) return false;
        const unsigned cab = d[pos++];
        const bool repetido = (cab & 0x80) != 0;
        const size_t n = std::min((size_t)(cab & 0x7f) + 1, total - hechos);
        const size_t leer = repetido ? bi : n * bi;
        if (tam - pos < leer) return false;
        if (!Escribir(f, d + pos, n, repetido, &hechos, salida)) return false;
        pos += leer;
    }
    return true;
}

}   // namespace

size_t BytesDeClase(ClasePixel clase)
{
    switch (clase) {
    case kColor24: return 3;
    case kColor32: return 4;
    case kGris8:
    case kIndice8: return 1;
    default: return 2;
    }
}

bool ClaseDePixel(int tipo, int bits, ClasePixel *clase, size_t *bytes_salida)
{
    if (tipo == 1 && (bits == 8 || bits == 16)) {
        *clase = bits == 8 ? kIndice8 : kIndice16;
        *bytes_salida = 0;   // the map's entries decide
        return true;
    }
    if (tipo == 2) return ClaseDeEntrada(bits, clase, bytes_salida);
    if (tipo == 3 && (bits == 8 || bits == 16)) {
        *clase = bits == 8 ? kGris8 : kGrisAlfa;
        *bytes_salida = bits == 8 ? 3 : 4;
        return true;
    }
    return false;
}

bool ClaseDeEntrada(int bits, ClasePixel *clase, size_t *bytes_salida)
{
    if (bits == 15 || bits == 16)
        *clase = kColor16;
    else if (bits == 24)
        *clase = kColor24;
    else if (bits == 32)
        *clase = kColor32;
    else
        return false;
    *bytes_salida = bits == 32 ? 4 : 3;
    return true;
}

bool ConvertirMapa(FormatoTGA *f, ClasePixel clase, const unsigned char *datos, size_t n)
{
    f->mapa = (unsigned char *)malloc(n * (clase == kColor32 ? 4 : 3) + 1);
    if (!f->mapa) return false;
    f->entradas = n;
    Convertir(*f, clase, datos, n, f->mapa);
    return true;
}

bool DecodificarTGA(const FormatoTGA &f, const unsigned char *datos, size_t tam, bool rle,
                    unsigned char *salida)
{
    if (rle) return DecodificarRLE(f, datos, tam, salida);
    const size_t total = f.ancho * f.alto;
    if (tam / BytesDeClase(f.clase) < total) return false;
    size_t hechos = 0;
    return Escribir(f, datos, total, false, &hechos, salida);
}
