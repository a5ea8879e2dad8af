// fuzz_tga.cpp - the TGA loader on arbitrary bytes, against a reference.
//
// The whole input is the file. CargarImagenTGA reads it through its path
// interface, and the result is compared with what a small decoder written
// here, straight from the format, makes of the same bytes: which files are
// accepted, the header fields kept, and every pixel byte (red and blue
// exchanged, bottom row first, each row left to right). The reference works
// on the bytes in memory, the loader on a FILE, so the two share no code.
// Every byte of an accepted image is read, so AddressSanitizer would stop a
// buffer shorter than its header fields say. Any disagreement aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "archivo_memoria.h"
#include "imagen.h"

namespace {

void Fallo(const char *que) {
    fprintf(stderr, "fuzz_tga: %s\n", que);
    abort();
}

struct Esperada {
    int                        estado;  // 0 empty image, 1 header only (no pixels), 2 pixels
    int                        bpp, ancho, alto;
    std::vector<unsigned char> pixeles;
};

size_t Par(const uint8_t *d) { return d[0] + 256u * d[1]; }

// Run-length packets from d[pos..tam) into `pix` (P pixels of B bytes); a
// packet that runs past the image is cut there. False if the bytes end first.
bool DecodificarRLE(const uint8_t *d, size_t tam, size_t pos, size_t P, size_t B,
                    std::vector<unsigned char> *pix) {
    size_t hechos = 0;
    while (hechos < P) {
        if (pos >= tam) return false;
        const uint8_t cab = d[pos++];
        size_t        n = (size_t)(cab & 0x7f) + 1;
        if (n > P - hechos) n = P - hechos;
        const size_t leer = (cab & 0x80) ? B : n * B;
        if (tam - pos < leer) return false;
        for (size_t k = 0; k < n; k++)
            memcpy(pix->data() + (hechos + k) * B, d + pos + ((cab & 0x80) ? 0 : k * B), B);
        pos += leer;
        hechos += n;
    }
    return true;
}

// File order to memory order: B G R (A) to R G B (A), rows bottom first and
// pixels left to right, following the descriptor's origin bits.
std::vector<unsigned char> Ordenar(const std::vector<unsigned char> &fichero, size_t ancho, size_t alto,
                                   size_t B, int descriptor) {
    std::vector<unsigned char> r(fichero.size());
    for (size_t y = 0; y < alto; y++)
        for (size_t x = 0; x < ancho; x++) {
            const size_t fy = (descriptor & 0x20) ? alto - 1 - y : y;
            const size_t fx = (descriptor & 0x10) ? ancho - 1 - x : x;
            const unsigned char *s = &fichero[(fy * ancho + fx) * B];
            unsigned char       *t = &r[(y * ancho + x) * B];
            t[0] = s[2];
            t[1] = s[1];
            t[2] = s[0];
            if (B == 4) t[3] = s[3];
        }
    return r;
}

Esperada Referencia(const uint8_t *d, size_t tam) {
    Esperada e{0, 0, 0, 0, {}};
    if (tam < 18) return e;
    const int tipo = d[2], mapa = d[1], bits = d[16];
    if ((tipo != 2 && tipo != 10) || (bits != 24 && bits != 32) || mapa > 1) return e;
    const size_t inicio = 18 + d[0] + (mapa == 1 ? Par(d + 5) * ((d[7] + 7u) / 8) : 0);
    if (inicio > tam) return e;
    const size_t ancho = Par(d + 12), alto = Par(d + 14), B = (size_t)bits / 8;
    if (ancho == 0 || alto == 0) return Esperada{1, bits, (int)ancho, (int)alto, {}};

    std::vector<unsigned char> fichero(ancho * alto * B);
    if (tipo == 2) {
        if (tam - inicio < fichero.size()) return e;
        memcpy(fichero.data(), d + inicio, fichero.size());
    } else if (!DecodificarRLE(d, tam, inicio, ancho * alto, B, &fichero)) {
        return e;
    }
    return Esperada{2, bits, (int)ancho, (int)alto, Ordenar(fichero, ancho, alto, B, d[17])};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *datos, size_t tam) {
    // Headers may claim up to 65535 x 65535 pixels; the reference would then
    // need gigabytes, so such inputs are only checked for a sound rejection.
    const bool grande = tam >= 16 && Par(datos + 12) * Par(datos + 14) > (1u << 22);

    Imagen im = CargarImagenTGA(RutaConDatos(datos, tam));
    if (im.Textura != 0) Fallo("texture name set by the loader");
    unsigned suma = 0;
    if (im.Pixeles) {
        if (im.Ancho <= 0 || im.Alto <= 0 || (im.Bpp != 24 && im.Bpp != 32)) Fallo("pixels with bad fields");
        const size_t n = (size_t)im.Ancho * im.Alto * (im.Bpp / 8);
        for (size_t i = 0; i < n; i++) suma += im.Pixeles[i];
    }
    if (!grande) {
        const Esperada e = Referencia(datos, tam);
        const int estado = im.Pixeles ? 2 : (im.Bpp || im.Ancho || im.Alto) ? 1 : 0;
        if (estado != e.estado) Fallo("accepted or rejected unlike the reference");
        if (estado != 0 && (im.Bpp != e.bpp || im.Ancho != e.ancho || im.Alto != e.alto))
            Fallo("header fields unlike the reference");
        if (estado == 2 && memcmp(im.Pixeles, e.pixeles.data(), e.pixeles.size()) != 0)
            Fallo("pixels unlike the reference");
    } else if (im.Pixeles && tam < (size_t)im.Ancho * im.Alto / 128) {
        Fallo("a huge image from a tiny file");
    }
    free(im.Pixeles);
    return (int)(suma & 0);
}
