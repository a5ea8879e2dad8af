// fuzz_tga.cpp - the TGA loader on arbitrary bytes, against a reference.
//
// The whole input is the file. CargarImagenTGA reads it through its path
// interface, and the result is compared with what the decoder of
// tga_referencia.h, written straight from the format, makes of the same
// bytes: which files are accepted, the header fields kept, and every pixel
// byte (R, G, B (, A), bottom row first, each row left to right). The
// reference works on the bytes in memory, the loader on a FILE, so the two
// share no code. Every byte of an accepted image is read, so
// AddressSanitizer would stop a buffer shorter than its header fields say.
// Any disagreement aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "archivo_memoria.h"
#include "imagen.h"
#include "tga_referencia.h"

namespace {

void Fallo(const char *que)
{
    fprintf(stderr, "fuzz_tga: %s\n", que);
    abort();
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *datos, size_t tam)
{
    // Headers may claim up to 65535 x 65535 pixels; the reference would then
    // need gigabytes, so such inputs are only checked for a sound rejection.
    const bool grande = tam >= 16 && ParTga(datos + 12) * ParTga(datos + 14) > (1u << 22);

    Imagen im = CargarImagenTGA(RutaConDatos(datos, tam));
    if (im.Textura != 0) Fallo("texture name set by the loader");
    unsigned suma = 0;
    if (im.Pixeles) {
        if (im.Ancho <= 0 || im.Alto <= 0 || (im.Bpp != 24 && im.Bpp != 32)) Fallo("pixels with bad fields");
        const size_t n = (size_t)im.Ancho * im.Alto * (im.Bpp / 8);
        for (size_t i = 0; i < n; i++) suma += im.Pixeles[i];
    }
    if (!grande) {
        const TgaEsperada e = ReferenciaTga(datos, tam);
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
