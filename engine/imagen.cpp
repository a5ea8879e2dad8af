// imagen.cpp - TGA loading (see imagen.h for what is accepted).
//
// The pixel data goes into one malloc'd buffer: read there in one read (or
// decoded there, for run-length data), then converted in place: red and blue
// exchanged, and rows/pixels reordered so that memory always starts with the
// bottom row, left to right, as OpenGL expects.
#include "imagen.h"

#include "fichero.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>


namespace {

const int kTamCabecera = 18;
const int kTipoColor = 2;      // uncompressed true colour
const int kTipoColorRLE = 10;  // run-length-encoded true colour
const int kOrigenDerecha = 0x10;
const int kOrigenArriba = 0x20;

struct CabeceraTGA {
    int largo_id;     // bytes of image ID after the header
    int tipo_mapa;    // 0 none, 1 colour map present
    int tipo;         // image type
    int largo_mapa;   // colour-map entries
    int bits_mapa;    // bits per colour-map entry
    int ancho;
    int alto;
    int bits;         // bits per pixel
    int descriptor;   // origin bits 4 and 5
};

Imagen ImagenVacia() {
    Imagen im;
    im.Pixeles = nullptr;
    im.Bpp = 0;
    im.Ancho = 0;
    im.Alto = 0;
    im.Textura = 0;
    return im;
}

int LeerCabecera(FILE *f, CabeceraTGA *c) {
    unsigned char h[kTamCabecera];
    if (fread(h, 1, kTamCabecera, f) != (size_t)kTamCabecera) return 0;
    c->largo_id = h[0];
    c->tipo_mapa = h[1];
    c->tipo = h[2];
    c->largo_mapa = h[5] + 256 * h[6];
    c->bits_mapa = h[7];
    c->ancho = h[12] + 256 * h[13];
    c->alto = h[14] + 256 * h[15];
    c->bits = h[16];
    c->descriptor = h[17];
    return 1;
}

// Only true colour of 24 or 32 bits, raw or run-length encoded, is loaded;
// a colour map that such a file carries anyway is skipped.
bool CabeceraAceptada(const CabeceraTGA &c) {
    if (c.tipo != kTipoColor && c.tipo != kTipoColorRLE) return false;
    if (c.bits != 24 && c.bits != 32) return false;
    return c.tipo_mapa == 0 || c.tipo_mapa == 1;
}

long long BytesMapa(const CabeceraTGA &c) {
    if (c.tipo_mapa != 1) return 0;
    return (long long)c.largo_mapa * ((c.bits_mapa + 7) / 8);
}

// Bytes from offset `desde` to the end of the file, or -1 if the file is
// shorter than that or cannot be measured. Leaves the file at `desde`.
long long BytesDesde(FILE *f, long long desde) {
    if (fseek(f, 0, SEEK_END) != 0) return -1;
    long total = ftell(f);
    if (total < 0 || total < desde) return -1;
    if (fseek(f, (long)desde, SEEK_SET) != 0) return -1;
    return total - desde;
}

// The fewest bytes that run-length data for `pixeles` pixels can take: one
// packet header and one pixel per 128 pixels.
unsigned long long MinimoRLE(unsigned long long pixeles, int bpp) {
    return (pixeles + 127) / 128 * (1 + (unsigned long long)bpp);
}

// Decodes run-length packets into `buf` until `pixeles` pixels are written.
// A packet that runs past the image is cut at its end. Returns 0 if the data
// ends first.
int DecodificarRLE(FILE *f, unsigned char *buf, size_t pixeles, size_t bpp) {
    size_t hechos = 0;
    while (hechos < pixeles) {
        int c = getc(f);
        if (c == EOF) return 0;
        size_t n = (size_t)(c & 0x7f) + 1;
        if (n > pixeles - hechos) n = pixeles - hechos;
        unsigned char *dst = buf + hechos * bpp;
        if (c & 0x80) {
            if (fread(dst, 1, bpp, f) != bpp) return 0;
            for (size_t k = 1; k < n; k++) memcpy(dst + k * bpp, dst, bpp);
        } else {
            if (fread(dst, 1, n * bpp, f) != n * bpp) return 0;
        }
        hechos += n;
    }
    return 1;
}

void CambiarRojoAzul(unsigned char *p, size_t tam, size_t bpp) {
    for (size_t i = 0; i < tam; i += bpp) {
        unsigned char t = p[i];
        p[i] = p[i + 2];
        p[i + 2] = t;
    }
}

void CambiarPixeles(unsigned char *a, unsigned char *b, size_t bpp) {
    for (size_t k = 0; k < bpp; k++) {
        unsigned char t = a[k];
        a[k] = b[k];
        b[k] = t;
    }
}

// Top-origin files store the top row first: exchange rows end for end.
void InvertirFilas(unsigned char *p, size_t ancho, size_t alto, size_t bpp) {
    size_t fila = ancho * bpp;
    for (size_t y = 0; y < alto / 2; y++) {
        unsigned char *a = p + y * fila;
        unsigned char *b = p + (alto - 1 - y) * fila;
        for (size_t k = 0; k < fila; k++) {
            unsigned char t = a[k];
            a[k] = b[k];
            b[k] = t;
        }
    }
}

// Right-to-left files store each row's rightmost pixel first.
void InvertirColumnas(unsigned char *p, size_t ancho, size_t alto, size_t bpp) {
    for (size_t y = 0; y < alto; y++) {
        unsigned char *fila = p + y * ancho * bpp;
        for (size_t x = 0; x < ancho / 2; x++)
            CambiarPixeles(fila + x * bpp, fila + (ancho - 1 - x) * bpp, bpp);
    }
}

// Reads or decodes the pixel data of an accepted header, the file being at
// its first byte with `resto` bytes left. Returns the buffer or null.
unsigned char *LeerPixeles(FILE *f, const CabeceraTGA &c, long long resto) {
    size_t bpp = (size_t)c.bits / 8;
    unsigned long long pixeles = (unsigned long long)c.ancho * c.alto;
    unsigned long long tam = pixeles * bpp;
    // The claimed size is checked against the file before anything is
    // allocated, so a lying header over a tiny body allocates nothing.
    unsigned long long minimo = c.tipo == kTipoColor ? tam : MinimoRLE(pixeles, (int)bpp);
    if (minimo > (unsigned long long)resto) return nullptr;
    unsigned char *buf = (unsigned char *)malloc((size_t)tam);
    if (!buf) return nullptr;
    int bien = c.tipo == kTipoColor ? fread(buf, 1, (size_t)tam, f) == tam
                                    : DecodificarRLE(f, buf, (size_t)pixeles, bpp);
    if (!bien) {
        free(buf);
        return nullptr;
    }
    return buf;
}

// Puts the converted pixels in memory order: R, G, B (, A), bottom row
// first, each row left to right.
void Ordenar(unsigned char *buf, const CabeceraTGA &c) {
    size_t bpp = (size_t)c.bits / 8;
    size_t ancho = (size_t)c.ancho, alto = (size_t)c.alto;
    CambiarRojoAzul(buf, ancho * alto * bpp, bpp);
    if (c.descriptor & kOrigenArriba) InvertirFilas(buf, ancho, alto, bpp);
    if (c.descriptor & kOrigenDerecha) InvertirColumnas(buf, ancho, alto, bpp);
}

Imagen LeerTGA(FILE *f) {
    CabeceraTGA c;
    if (!LeerCabecera(f, &c) || !CabeceraAceptada(c)) return ImagenVacia();
    long long resto = BytesDesde(f, kTamCabecera + c.largo_id + BytesMapa(c));
    if (resto < 0) return ImagenVacia();

    Imagen im = ImagenVacia();
    im.Bpp = c.bits;
    im.Ancho = c.ancho;
    im.Alto = c.alto;
    if (c.ancho == 0 || c.alto == 0) return im;  // no pixels to hold

    unsigned char *buf = LeerPixeles(f, c, resto);
    if (!buf) return ImagenVacia();
    Ordenar(buf, c);
    im.Pixeles = buf;
    return im;
}


}  // namespace

Imagen CargarImagenTGA(const char *ruta) {
    FILE *f = AbrirFicheroRegular(ruta, "rb");
    if (!f) return ImagenVacia();
    Imagen im = LeerTGA(f);
    fclose(f);
    return im;
}
