// imagen_local.h - decoding the pixel data of a TGA file that is already in
// memory (used by imagen.cpp, which reads the file and checks its sizes).
#ifndef TALO_IMAGEN_LOCAL_H
#define TALO_IMAGEN_LOCAL_H

#include <cstddef>

// What one stored pixel (or colour-map entry) is.
enum ClasePixel {
    kColor16,    // 15 or 16 bits: A RRRRR GGGGG BBBBB, little-endian; A ignored
    kColor24,    // B, G, R
    kColor32,    // B, G, R, A
    kGris8,      // grey
    kGrisAlfa,   // grey, alpha
    kIndice8,    // an index into the colour map
    kIndice16,   // the same, little-endian
};

// Everything the decoder needs about one image. `mapa` holds the colour map
// already in output form (`bytes_salida` per entry), entry k standing for
// index `primero` + k; it is allocated with malloc (ConvertirMapa) and
// released with free by whoever filled the record.
struct FormatoTGA {
    ClasePixel clase;
    size_t bytes_salida;   // 3 (R G B) or 4 (R G B A)
    size_t ancho, alto;
    bool arriba;    // the first stored row is the top row
    bool derecha;   // each stored row starts at its right end
    size_t primero;
    unsigned char *mapa;   // null when there is none
    size_t entradas;       // entries in `mapa`
};

// The class and output size of a stored pixel of `bits` bits in an image of
// TGA type `tipo` (1, 2 or 3; run-length forms without their 8), or false
// when that type has no such depth.
bool ClaseDePixel(int tipo, int bits, ClasePixel *clase, size_t *bytes_salida);

// Bytes that one stored pixel of class `clase` takes in the file.
size_t BytesDeClase(ClasePixel clase);

// The same as ClaseDePixel for a colour-map entry of `bits` bits (15, 16, 24 or 32).
bool ClaseDeEntrada(int bits, ClasePixel *clase, size_t *bytes_salida);

// Converts `n` colour-map entries of class `clase` from `datos` into a new
// `f->mapa`; false when it cannot be allocated.
bool ConvertirMapa(FormatoTGA *f, ClasePixel clase, const unsigned char *datos, size_t n);

// Decodes the pixels stored in `datos` (`tam` bytes; raw, or run-length
// packets when `rle`) into `salida`, ancho x alto x bytes_salida bytes, bottom
// row first, each row left to right. A run-length packet that runs past the
// last pixel is cut there. With `salida` null nothing is written and only the
// checks are made. False when the data ends early or a colour index lies
// outside the map; `salida` then holds no whole image.
bool DecodificarTGA(const FormatoTGA &f, const unsigned char *datos, size_t tam, bool rle,
                    unsigned char *salida);

#endif
