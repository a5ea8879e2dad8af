// imagen.cpp - TGA loading (see imagen.h for what is accepted).
//
// The header decides everything that can be decided before reading: the
// output's size (refused above 1 GiB) and the fewest bytes the pixel data
// can take, both checked before any buffer is allocated. Uncompressed 24- or
// 32-bit pixels stored bottom row first are read with one read into the
// output and their red and blue exchanged in place. Any other data is read
// whole into a buffer of its own, checked (run-length packets complete,
// colour indices inside the map) and only then decoded into the output
// (imagen_tga.cpp); so a damaged file never costs more memory than itself.
// Every buffer, the result included, comes from malloc and goes back with
// free, so a failed allocation is a null pointer on every path.
#include "imagen.h"

#include "fichero_local.h"
#include "imagen_local.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const int kTamCabecera = 18;
const unsigned long long kMaxBytesImagen = 1ull << 30;
const int kOrigenDerecha = 0x10;
const int kOrigenArriba = 0x20;

struct CabeceraTGA {
    int largo_id;       // bytes of image ID after the header
    int tipo_mapa;      // 0 none, 1 colour map present
    int tipo;           // image type
    int primero_mapa;   // colour index of the map's first entry
    int largo_mapa;     // colour-map entries
    int bits_mapa;      // bits per colour-map entry
    int ancho;
    int alto;
    int bits;         // bits per pixel
    int descriptor;   // origin bits 4 and 5
};

Imagen ImagenVacia()
{
    Imagen im;
    im.Pixeles = nullptr;
    im.Bpp = 0;
    im.Ancho = 0;
    im.Alto = 0;
    im.Textura = 0;
    return im;
}

int LeerCabecera(FILE *f, CabeceraTGA *c)
{
    unsigned char h[kTamCabecera];
    if (fread(h, 1, kTamCabecera, f) != (size_t)kTamCabecera) return 0;
    c->largo_id = h[0];
    c->tipo_mapa = h[1];
    c->tipo = h[2];
    c->primero_mapa = h[3] + 256 * h[4];
    c->largo_mapa = h[5] + 256 * h[6];
    c->bits_mapa = h[7];
    c->ancho = h[12] + 256 * h[13];
    c->alto = h[14] + 256 * h[15];
    c->bits = h[16];
    c->descriptor = h[17];
    return 1;
}

bool EsRLE(const CabeceraTGA &c) { return c.tipo >= 9; }

// Fills in what the decoder needs from the header, or false for a type,
// depth or map the loader does not take. A colour-mapped image needs a map
// of 15-, 16-, 24- or 32-bit entries; any other image may carry a map,
// which is skipped.
bool Formato(const CabeceraTGA &c, FormatoTGA *f, ClasePixel *clase_mapa)
{
    const int tipo = EsRLE(c) ? c.tipo - 8 : c.tipo;
    if (c.tipo < 1 || c.tipo > 11 || tipo < 1 || tipo > 3 || c.tipo_mapa > 1) return false;
    if (!ClaseDePixel(tipo, c.bits, &f->clase, &f->bytes_salida)) return false;
    if (tipo == 1 && (c.tipo_mapa != 1 || !ClaseDeEntrada(c.bits_mapa, clase_mapa, &f->bytes_salida)))
        return false;
    f->ancho = (size_t)c.ancho;
    f->alto = (size_t)c.alto;
    f->arriba = (c.descriptor & kOrigenArriba) != 0;
    f->derecha = (c.descriptor & kOrigenDerecha) != 0;
    f->primero = (size_t)c.primero_mapa;
    return true;
}

// Bytes from offset `desde` to the end of the file, or -1 if the file is
// shorter than that or cannot be measured. Leaves the file at `desde`.
long long BytesDesde(FILE *f, long long desde)
{
    if (fseek(f, 0, SEEK_END) != 0) return -1;
    long total = ftell(f);
    if (total < 0 || total < desde) return -1;
    if (fseek(f, (long)desde, SEEK_SET) != 0) return -1;
    return total - desde;
}

// Reads the colour map of a colour-mapped image into `f`, or skips the map
// of any other, taking its bytes off `*resto`. False if the file is shorter.
bool LeerMapa(FILE *fich, const CabeceraTGA &c, ClasePixel clase_mapa, FormatoTGA *f, long long *resto)
{
    if (c.tipo_mapa != 1) return true;
    const long long bytes = (long long)c.largo_mapa * ((c.bits_mapa + 7) / 8);
    if (bytes > *resto) return false;
    *resto -= bytes;
    if (f->clase != kIndice8 && f->clase != kIndice16) return fseek(fich, (long)bytes, SEEK_CUR) == 0;
    unsigned char *datos = (unsigned char *)malloc((size_t)bytes + 1);
    const bool bien = datos && fread(datos, 1, (size_t)bytes, fich) == (size_t)bytes &&
                      ConvertirMapa(f, clase_mapa, datos, (size_t)c.largo_mapa);
    free(datos);
    return bien;
}

// A fresh output buffer of `n` bytes, its pages made at once (fichero_local.h).
unsigned char *NuevaSalida(size_t n)
{
    unsigned char *p = (unsigned char *)malloc(n);
    if (p) {
        PedirPaginasGrandes((char *)p, (char *)p + n);
        PoblarPaginas((char *)p, (char *)p + n);
    }
    return p;
}

// Uncompressed 24- or 32-bit pixels, bottom row first, left to right: one
// read into the output, then red and blue exchanged in place.
unsigned char *LeerDirecto(FILE *f, size_t tam, size_t bytes_pixel, long long resto)
{
    if ((unsigned long long)resto < tam) return nullptr;
    unsigned char *buf = NuevaSalida(tam);
    if (!buf) return nullptr;
    if (fread(buf, 1, tam, f) != tam) {
        free(buf);
        return nullptr;
    }
    for (size_t i = 0; i < tam; i += bytes_pixel) std::swap(buf[i], buf[i + 2]);
    return buf;
}

// Any other pixel data: read whole (no more of it than the image could
// use), checked, then decoded into a new output buffer.
unsigned char *LeerYDecodificar(FILE *fich, const FormatoTGA &f, bool rle, long long resto)
{
    const unsigned long long total = (unsigned long long)f.ancho * f.alto;
    const unsigned long long bi = BytesDeClase(f.clase);
    // Run-length data takes at least one header and one pixel per 128
    // pixels, and at most one header per pixel.
    const unsigned long long minimo = rle ? (total + 127) / 128 * (1 + bi) : total * bi;
    const unsigned long long maximo = rle ? total * (1 + bi) : total * bi;
    if ((unsigned long long)resto < minimo) return nullptr;
    const size_t tam = (size_t)std::min((unsigned long long)resto, maximo);

    unsigned char *datos = (unsigned char *)malloc(tam);
    unsigned char *salida = nullptr;
    if (datos && fread(datos, 1, tam, fich) == tam && DecodificarTGA(f, datos, tam, rle, nullptr)) {
        salida = NuevaSalida((size_t)total * f.bytes_salida);
        if (salida && !DecodificarTGA(f, datos, tam, rle, salida)) {
            free(salida);
            salida = nullptr;
        }
    }
    free(datos);
    return salida;
}

// Reads the image into a new pixel buffer; the colour map it may read stays
// in *formato for the caller to release.
Imagen LeerTGA(FILE *fich, FormatoTGA *formato)
{
    CabeceraTGA c;
    FormatoTGA &f = *formato;
    ClasePixel clase_mapa = kColor24;
    if (!LeerCabecera(fich, &c) || !Formato(c, &f, &clase_mapa)) return ImagenVacia();
    const unsigned long long total = (unsigned long long)c.ancho * c.alto;
    if (total * f.bytes_salida > kMaxBytesImagen) return ImagenVacia();
    long long resto = BytesDesde(fich, kTamCabecera + c.largo_id);
    if (resto < 0 || !LeerMapa(fich, c, clase_mapa, &f, &resto)) return ImagenVacia();

    Imagen im = ImagenVacia();
    im.Bpp = (int)f.bytes_salida * 8;
    im.Ancho = c.ancho;
    im.Alto = c.alto;
    if (total == 0) return im;   // no pixels to hold

    const bool directo =
        c.tipo == 2 && (f.clase == kColor24 || f.clase == kColor32) && !f.arriba && !f.derecha;
    im.Pixeles = directo ? LeerDirecto(fich, (size_t)total * f.bytes_salida, f.bytes_salida, resto)
                         : LeerYDecodificar(fich, f, EsRLE(c), resto);
    return im.Pixeles ? im : ImagenVacia();
}

}   // namespace

Imagen CargarImagenTGA(const char *ruta)
{
    FILE *fich = AbrirFicheroRegular(ruta);
    if (!fich) return ImagenVacia();
    FormatoTGA f = {};
    Imagen im = LeerTGA(fich, &f);
    free(f.mapa);
    fclose(fich);
    return im;
}
