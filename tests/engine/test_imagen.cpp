// Tests of the TGA loader: the plain true-colour files, the header fields the
// loader honours (ID, colour map, origin bits), run-length data, and every
// kind of bad file.
#include <gtest/gtest.h>

#include <ftw.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "../fuzz/tga_referencia.h"
#include "comun.h"
#include "imagen.h"


// Outside sanitizer builds the test program puts its own malloc family in
// front of glibc's, to see the largest block the loader asks for and to make
// large requests fail on demand.
#if defined(__GLIBC__) && !defined(TALO_CON_ASAN)
#define TALO_MALLOC_VIGILADO 1
namespace {
size_t g_mayor_pedido = 0;
size_t g_limite_fallo = SIZE_MAX;  // requests at or above this fail
}  // namespace
extern "C" {
void *__libc_malloc(size_t);
void *__libc_calloc(size_t, size_t);
void *__libc_realloc(void *, size_t);
void  __libc_free(void *);
void *malloc(size_t n) noexcept {
    if (n > g_mayor_pedido) g_mayor_pedido = n;
    return n >= g_limite_fallo ? nullptr : __libc_malloc(n);
}
void *calloc(size_t a, size_t b) noexcept {
    size_t n = a * b;
    if (n > g_mayor_pedido) g_mayor_pedido = n;
    return n >= g_limite_fallo ? nullptr : __libc_calloc(a, b);
}
void *realloc(void *p, size_t n) noexcept {
    if (n > g_mayor_pedido) g_mayor_pedido = n;
    return n >= g_limite_fallo ? nullptr : __libc_realloc(p, n);
}
void free(void *p) noexcept { __libc_free(p); }
}
#endif

namespace {

struct Cabecera {
    int largo_id = 0;
    int tipo_mapa = 0;
    int tipo = 2;
    int primero_mapa = 0;
    int largo_mapa = 0;
    int bits_mapa = 0;
    int ancho = 0;
    int alto = 0;
    int bits = 24;
    int descriptor = 0;
};

typedef std::vector<unsigned char> Bytes;

Bytes Tga(const Cabecera &c, const Bytes &resto) {
    Bytes b(18, 0);
    b[0] = (unsigned char)c.largo_id;
    b[1] = (unsigned char)c.tipo_mapa;
    b[2] = (unsigned char)c.tipo;
    b[3] = (unsigned char)(c.primero_mapa & 0xff);
    b[4] = (unsigned char)(c.primero_mapa >> 8);
    b[5] = (unsigned char)(c.largo_mapa & 0xff);
    b[6] = (unsigned char)(c.largo_mapa >> 8);
    b[7] = (unsigned char)c.bits_mapa;
    b[12] = (unsigned char)(c.ancho & 0xff);
    b[13] = (unsigned char)(c.ancho >> 8);
    b[14] = (unsigned char)(c.alto & 0xff);
    b[15] = (unsigned char)(c.alto >> 8);
    b[16] = (unsigned char)c.bits;
    b[17] = (unsigned char)c.descriptor;
    b.insert(b.end(), resto.begin(), resto.end());
    return b;
}


std::string Escribir(const Bytes &b) {
    return EscribirTemporal("i.tga", std::string(b.begin(), b.end()));
}

Imagen Cargar(const Bytes &b) { return CargarImagenTGA(Escribir(b).c_str()); }

Bytes Pixeles(const Imagen &im) {
    size_t n = (size_t)im.Ancho * im.Alto * (im.Bpp / 8);
    if (!im.Pixeles) return Bytes();
    return Bytes(im.Pixeles, im.Pixeles + n);
}

void EsperarVacia(const Imagen &im) {
    EXPECT_EQ(im.Pixeles, nullptr);
    EXPECT_EQ(im.Bpp, 0);
    EXPECT_EQ(im.Ancho, 0);
    EXPECT_EQ(im.Alto, 0);
    EXPECT_EQ(im.Textura, 0u);
}

void Liberar(Imagen *im) {
    free(im->Pixeles);
    im->Pixeles = nullptr;
}

// Bytes 0, 1, 2, ... for n pixels of bpp bytes (as stored in the file).
Bytes Serie(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; i++) b[i] = (unsigned char)(i * 7 + 1);
    return b;
}

// The file's B, G, R (, A) pixels as they must come out: R and B exchanged.
Bytes ComoRGB(Bytes b, int bpp) {
    for (size_t i = 0; i + 2 < b.size(); i += (size_t)bpp) std::swap(b[i], b[i + 2]);
    return b;
}

// A header in one line: type, size, depth, origin bits; then the colour map.
Cabecera Cab(int tipo, int ancho, int alto, int bits, int desc = 0, int mapa = 0, int primero = 0,
             int largo = 0, int bits_mapa = 0) {
    Cabecera c;
    c.tipo = tipo;
    c.ancho = ancho;
    c.alto = alto;
    c.bits = bits;
    c.descriptor = desc;
    c.tipo_mapa = mapa;
    c.primero_mapa = primero;
    c.largo_mapa = largo;
    c.bits_mapa = bits_mapa;
    return c;
}

// The loader against the reference decoder on the same bytes: the same
// verdict, fields and pixels.
void EsperarComoReferencia(const Bytes &b) {
    const TgaEsperada e = ReferenciaTga(b.data(), b.size());
    Imagen im = Cargar(b);
    EXPECT_EQ(im.Pixeles ? 2 : (im.Bpp || im.Ancho || im.Alto) ? 1 : 0, e.estado);
    EXPECT_EQ(im.Bpp, e.bpp);
    EXPECT_EQ(im.Ancho, e.ancho);
    EXPECT_EQ(im.Alto, e.alto);
    EXPECT_EQ(Pixeles(im), e.pixeles);
    Liberar(&im);
}

}  // namespace

// ---------------------------------------------------------------------------
// Plain true-colour files

TEST(TgaBasico, VeinticuatroBitsCambiaRojoYAzul) {
    Cabecera c;
    c.ancho = 2;
    c.alto = 1;
    Imagen im = Cargar(Tga(c, {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(im.Ancho, 2);
    EXPECT_EQ(im.Alto, 1);
    EXPECT_EQ(im.Bpp, 24);
    EXPECT_EQ(im.Textura, 0u);
    EXPECT_EQ(Pixeles(im), Bytes({3, 2, 1, 6, 5, 4}));
    Liberar(&im);
}

TEST(TgaBasico, TreintaYDosBitsDejaElAlfa) {
    Cabecera c;
    c.ancho = 1;
    c.alto = 1;
    c.bits = 32;
    Imagen im = Cargar(Tga(c, {1, 2, 3, 4}));
    EXPECT_EQ(im.Bpp, 32);
    EXPECT_EQ(Pixeles(im), Bytes({3, 2, 1, 4}));
    Liberar(&im);
}

TEST(TgaBasico, AnchoYAltoEnDosBytesLittleEndian) {
    Bytes b = Tga(Cabecera(), Serie(256 * 64 * 3));
    b[12] = 0x00;
    b[13] = 0x01;
    b[14] = 0x40;
    b[15] = 0x00;
    Imagen im = Cargar(b);
    EXPECT_EQ(im.Ancho, 256);
    EXPECT_EQ(im.Alto, 64);
    EXPECT_EQ(Pixeles(im), ComoRGB(Serie(256 * 64 * 3), 3));
    Liberar(&im);
}

TEST(TgaBasico, OrigenAbajoIzquierdaConservaElOrdenDelFichero) {
    for (int bits : {24, 32}) {
        Cabecera c;
        c.ancho = 3;
        c.alto = 5;
        c.bits = bits;
        c.descriptor = bits == 32 ? 8 : 0;  // alpha bits are not consulted
        Bytes datos = Serie(3 * 5 * (size_t)bits / 8);
        Bytes cola(100, 0xEE);  // a developer area or footer is never read
        Bytes resto = datos;
        resto.insert(resto.end(), cola.begin(), cola.end());
        Imagen im = Cargar(Tga(c, resto));
        EXPECT_EQ(im.Ancho, 3);
        EXPECT_EQ(im.Alto, 5);
        EXPECT_EQ(Pixeles(im), ComoRGB(datos, bits / 8));
        Liberar(&im);
    }
}

TEST(TgaBasico, AnchoOAltoCeroNoTienePixeles) {
    Cabecera c;
    c.ancho = 0;
    c.alto = 7;
    Imagen im = Cargar(Tga(c, {}));
    EXPECT_EQ(im.Pixeles, nullptr);
    EXPECT_EQ(im.Ancho, 0);
    EXPECT_EQ(im.Alto, 7);
    EXPECT_EQ(im.Bpp, 24);
    c.ancho = 7;
    c.alto = 0;
    c.bits = 32;
    im = Cargar(Tga(c, {}));
    EXPECT_EQ(im.Pixeles, nullptr);
    EXPECT_EQ(im.Ancho, 7);
    EXPECT_EQ(im.Alto, 0);
    EXPECT_EQ(im.Bpp, 32);
}

// ---------------------------------------------------------------------------
// Header fields honoured

TEST(TgaCabecera, ElIdentificadorSeSalta) {
    Cabecera c;
    c.largo_id = 5;
    c.ancho = 2;
    c.alto = 1;
    Imagen im = Cargar(Tga(c, {9, 9, 9, 9, 9, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Pixeles(im), Bytes({3, 2, 1, 6, 5, 4}));
    Liberar(&im);

    c.largo_id = 255;
    Bytes resto(255, 9);
    Bytes px = {1, 2, 3, 4, 5, 6};
    resto.insert(resto.end(), px.begin(), px.end());
    im = Cargar(Tga(c, resto));
    EXPECT_EQ(Pixeles(im), Bytes({3, 2, 1, 6, 5, 4}));
    Liberar(&im);
}

TEST(TgaCabecera, IdentificadorLargoEnFicheroCortoDaImagenVacia) {
    Cabecera c;
    c.largo_id = 255;
    c.ancho = 1;
    c.alto = 1;
    EsperarVacia(Cargar(Tga(c, Bytes(10, 1))));      // shorter than the ID itself
    EsperarVacia(Cargar(Tga(c, Bytes(255 + 2, 1))));  // ID complete, one pixel short
}

TEST(TgaCabecera, UnMapaDeColoresEnUnFicheroDeColorVerdaderoSeSalta) {
    struct Caso {
        int    bits_mapa;
        size_t bytes_entrada;
    };
    for (Caso k : {Caso{24, 3}, Caso{32, 4}, Caso{15, 2}, Caso{16, 2}, Caso{8, 1}}) {
        SCOPED_TRACE(k.bits_mapa);
        Cabecera c;
        c.tipo_mapa = 1;
        c.largo_mapa = 3;
        c.bits_mapa = k.bits_mapa;
        c.ancho = 2;
        c.alto = 1;
        Bytes resto(3 * k.bytes_entrada, 0x55);
        Bytes px = {1, 2, 3, 4, 5, 6};
        resto.insert(resto.end(), px.begin(), px.end());
        Imagen im = Cargar(Tga(c, resto));
        EXPECT_EQ(Pixeles(im), Bytes({3, 2, 1, 6, 5, 4}));
        Liberar(&im);
    }
}

TEST(TgaCabecera, TiposDeMapaReservadosSeRechazan) {
    for (int tipo_mapa : {2, 3, 127, 128, 255}) {
        Cabecera c;
        c.tipo_mapa = tipo_mapa;
        c.ancho = 1;
        c.alto = 1;
        EsperarVacia(Cargar(Tga(c, {1, 2, 3})));
    }
}

TEST(TgaCabecera, OrigenArribaConFilasImparesYUnaSolaFila) {
    Cabecera c;
    c.ancho = 1;
    c.alto = 3;
    c.descriptor = 0x20;
    Imagen im = Cargar(Tga(c, {1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(Pixeles(im), Bytes({9, 8, 7, 6, 5, 4, 3, 2, 1}));
    Liberar(&im);
    c.ancho = 3;
    c.alto = 1;
    c.descriptor = 0x10;
    im = Cargar(Tga(c, {1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(Pixeles(im), Bytes({9, 8, 7, 6, 5, 4, 3, 2, 1}));
    Liberar(&im);
}

// ---------------------------------------------------------------------------
// Every image type, depth and origin, raw and run-length

namespace {

struct FormatoPrueba {
    int tipo;       // 1, 2 or 3 (plus 8 for run-length)
    int bits;
    int bits_mapa;  // colour-mapped only
    int bpp;        // the layout it must load as
};

const FormatoPrueba kFormatos[] = {
    {2, 15, 0, 24},  {2, 16, 0, 24},  {2, 24, 0, 24},  {2, 32, 0, 32},  {3, 8, 0, 24},
    {3, 16, 0, 32},  {1, 8, 15, 24},  {1, 8, 16, 24},  {1, 8, 24, 24},  {1, 8, 32, 32},
    {1, 16, 15, 24}, {1, 16, 16, 24}, {1, 16, 24, 24}, {1, 16, 32, 32},
};

// Packet lengths, cycled, runs and raw packets in turn: with 37-pixel rows
// most packets cross a row end, and the last one runs past the image.
const int kLargos[] = {128, 1, 37, 5, 2, 60, 3, 128, 1, 9};

// One stored pixel: random bytes, or a random index inside the map.
void Valor(const FormatoPrueba &fp, const Cabecera &c, std::mt19937 *g, Bytes *out) {
    if (fp.tipo == 1) {
        const unsigned i = (unsigned)c.primero_mapa + (*g)() % (unsigned)c.largo_mapa;
        out->push_back((unsigned char)i);
        if (fp.bits == 16) out->push_back((unsigned char)(i >> 8));
        return;
    }
    for (int k = 0; k < (fp.bits + 7) / 8; k++) out->push_back((unsigned char)(*g)());
}

// A 37 x 7 file of format `fp`; odd seeds add an image ID. Colour maps start
// past index 0 (at 300 for 16-bit indices, so that indices pass 255).
Bytes Generar(const FormatoPrueba &fp, int desc, bool rle, unsigned semilla) {
    std::mt19937 g(semilla);
    Cabecera c = Cab(fp.tipo + (rle ? 8 : 0), 37, 7, fp.bits, desc);
    c.largo_id = semilla % 2 ? 3 : 0;
    Bytes resto((size_t)c.largo_id, 'i');
    if (fp.tipo == 1) {
        c = Cab(c.tipo, 37, 7, fp.bits, desc, 1, fp.bits == 8 ? 3 : 300, fp.bits == 8 ? 250 : 600, fp.bits_mapa);
        c.largo_id = semilla % 2 ? 3 : 0;
        for (int k = 0; k < c.largo_mapa * ((fp.bits_mapa + 7) / 8); k++) resto.push_back((unsigned char)g());
    }
    const int total = c.ancho * c.alto;
    for (int hechos = 0, p = 0; hechos < total; p++) {
        int n = kLargos[p % 10];
        if (!rle) {
            n = std::min(n, total - hechos);
        } else {
            resto.push_back((unsigned char)((p % 2 == 0 ? 0x80 : 0) | (n - 1)));
        }
        for (int k = 0; k < ((rle && p % 2 == 0) ? 1 : n); k++) Valor(fp, c, &g, &resto);
        hechos += n;
    }
    resto.insert(resto.end(), 26, 0xEE);  // a footer, never read
    return Tga(c, resto);
}

}  // namespace

TEST(TgaTipos, CadaTipoProfundidadYOrigenComoLaReferencia) {
    unsigned semilla = 1;
    for (const FormatoPrueba &fp : kFormatos) {
        for (int desc : {0x00, 0x10, 0x20, 0x30}) {
            for (bool rle : {false, true}) {
                SCOPED_TRACE(testing::Message() << "type " << fp.tipo + (rle ? 8 : 0) << ", " << fp.bits
                                                << " bits, map " << fp.bits_mapa << ", origin " << desc);
                const Bytes b = Generar(fp, desc, rle, semilla++);
                EXPECT_EQ(ReferenciaTga(b.data(), b.size()).bpp, fp.bpp);
                EsperarComoReferencia(b);
            }
        }
    }
}

// Pixels worked out by hand: they pin the reference decoder as well.
TEST(TgaTipos, ValoresCalculadosAMano) {
    struct Caso {
        const char *que;
        Cabecera    c;
        Bytes       resto;
        int         bpp;
        Bytes       pixeles;
    };
    const Caso casos[] = {
        {"16 bits: white, then red 16 green 1 blue 31 with the attribute bit set", Cab(2, 2, 1, 16),
         {0xFF, 0x7F, 0x3F, 0xC0}, 24, {255, 255, 255, 132, 8, 255}},
        {"15 bits: each 5-bit step", Cab(2, 3, 1, 15), {0x21, 0x04, 0x10, 0x42, 0x00, 0x00}, 24,
         {8, 8, 8, 132, 132, 132, 0, 0, 0}},
        {"8-bit grey", Cab(3, 2, 1, 8), {7, 200}, 24, {7, 7, 7, 200, 200, 200}},
        {"grey then alpha", Cab(3, 1, 1, 16), {0x40, 0x80}, 32, {0x40, 0x40, 0x40, 0x80}},
        {"8-bit indices, map from index 5", Cab(1, 2, 1, 8, 0, 1, 5, 2, 24), {1, 2, 3, 4, 5, 6, 6, 5}, 24,
         {6, 5, 4, 3, 2, 1}},
        {"16-bit indices 257 and 256, map from 256, 32-bit entries", Cab(1, 2, 1, 16, 0, 1, 256, 2, 32),
         {1, 2, 3, 4, 5, 6, 7, 8, 0x01, 0x01, 0x00, 0x01}, 32, {7, 6, 5, 8, 3, 2, 1, 4}},
        {"run of a 15-bit map entry", Cab(9, 2, 1, 8, 0, 1, 0, 1, 15), {0x1F, 0x00, 0x81, 0}, 24,
         {0, 0, 255, 0, 0, 255}},
        {"grey packets across a row, top origin", Cab(11, 3, 2, 8, 0x20), {0x03, 1, 2, 3, 4, 0x81, 9}, 24,
         {4, 4, 4, 9, 9, 9, 9, 9, 9, 1, 1, 1, 2, 2, 2, 3, 3, 3}},
        {"16 bits run-length, right to left", Cab(10, 2, 1, 16, 0x10), {0x01, 0x1F, 0x00, 0x00, 0x7C}, 24,
         {255, 0, 0, 0, 0, 255}},
        {"grey run past the last pixel", Cab(11, 2, 1, 8), {0x84, 5}, 24, {5, 5, 5, 5, 5, 5}},
    };
    for (const Caso &k : casos) {
        SCOPED_TRACE(k.que);
        const Bytes b = Tga(k.c, k.resto);
        Imagen im = Cargar(b);
        EXPECT_EQ(im.Bpp, k.bpp);
        EXPECT_EQ(Pixeles(im), k.pixeles);
        EXPECT_EQ(ReferenciaTga(b.data(), b.size()).pixeles, k.pixeles);
        Liberar(&im);
    }
}

// ---------------------------------------------------------------------------
// Run-length-encoded true colour

TEST(TgaRLE, UnPaqueteDeCientoVeintiochoPixeles) {
    Cabecera c;
    c.tipo = 10;
    c.ancho = 128;
    c.alto = 2;
    Bytes rle = {0xFF, 1, 2, 3, 0xFF, 4, 5, 6};
    Imagen im = Cargar(Tga(c, rle));
    Bytes esperado;
    for (int i = 0; i < 128; i++) esperado.insert(esperado.end(), {3, 2, 1});
    for (int i = 0; i < 128; i++) esperado.insert(esperado.end(), {6, 5, 4});
    EXPECT_EQ(Pixeles(im), esperado);
    Liberar(&im);
}

TEST(TgaRLE, UnPaqueteQuePasaDelFinalSeCorta) {
    Cabecera c;
    c.tipo = 10;
    c.ancho = 2;
    c.alto = 1;
    // A run of 5 for a 2-pixel image.
    Imagen im = Cargar(Tga(c, {0x84, 1, 2, 3}));
    EXPECT_EQ(Pixeles(im), Bytes({3, 2, 1, 3, 2, 1}));
    Liberar(&im);
    // A raw packet of 4 after one pixel: only one more fits; with and without
    // the rest of the packet present in the file.
    im = Cargar(Tga(c, {0x00, 1, 2, 3, 0x03, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(Pixeles(im), Bytes({3, 2, 1, 6, 5, 4}));
    Liberar(&im);
    im = Cargar(Tga(c, {0x00, 1, 2, 3, 0x03, 4, 5, 6}));
    EXPECT_EQ(Pixeles(im), Bytes({3, 2, 1, 6, 5, 4}));
    Liberar(&im);
}

TEST(TgaRLE, DatosTruncadosDanImagenVacia) {
    Cabecera c;
    c.tipo = 10;
    c.ancho = 4;
    c.alto = 1;
    EsperarVacia(Cargar(Tga(c, {})));
    EsperarVacia(Cargar(Tga(c, {0x80, 1, 2, 3})));              // one pixel of four
    EsperarVacia(Cargar(Tga(c, {0x81, 1, 2, 3, 0x81, 4, 5})));  // pixel value cut short
    EsperarVacia(Cargar(Tga(c, {0x03, 1, 2, 3, 4, 5, 6, 7, 8, 9})));  // raw packet cut short
    EsperarVacia(Cargar(Tga(c, {0x81, 1, 2, 3, 0x01, 4, 5, 6, 7, 8})));
    EsperarVacia(Cargar(Tga(c, {0x81, 1, 2, 3, 0x01})));
}

// ---------------------------------------------------------------------------
// Depths, image types and damaged files

TEST(TgaRechazo, TiposYProfundidades) {
    // Which (type, depth) pairs load, listed here independently of both the
    // loader and the reference; with a 24-bit map of 2 entries present.
    auto aceptada = [](int tipo, int bits) {
        const int base = tipo >= 9 ? tipo - 8 : tipo;
        if (tipo != base && tipo != base + 8) return false;
        if (base == 1 || base == 3) return bits == 8 || bits == 16;
        return base == 2 && (bits == 15 || bits == 16 || bits == 24 || bits == 32);
    };
    for (int tipo : {0, 1, 2, 3, 4, 8, 9, 10, 11, 12, 32, 33, 127, 128, 129, 255}) {
        for (int bits : {0, 1, 8, 15, 16, 24, 32, 255}) {
            SCOPED_TRACE(tipo * 1000 + bits);
            Bytes resto = {1, 2, 3, 4, 5, 6};  // the map
            resto.insert(resto.end(), 3 * 2 * 5, 0);  // index 0 at either width, raw or run-length
            const Bytes b = Tga(Cab(tipo, 3, 2, bits, 0, 1, 0, 2, 24), resto);
            const bool ok = (tipo >= 1 && tipo <= 3) || (tipo >= 9 && tipo <= 11);
            EXPECT_EQ(ReferenciaTga(b.data(), b.size()).estado == 2, ok && aceptada(tipo, bits));
            EsperarComoReferencia(b);
        }
    }
}

// Malformed files: each gives the empty image, and the largest block asked
// for stays within the file's own size and a few megabytes.
TEST(TgaRechazo, FicherosMalformadosDanImagenVacia) {
    const Bytes mapa2 = {1, 2, 3, 4, 5, 6};  // two 24-bit entries
    auto con = [](Bytes a, const Bytes &b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    // 4096 x 4096 in 128-pixel runs of a valid index or grey value, the last
    // run marred: data that checks out up to its end.
    Bytes corridas;
    for (int i = 0; i < 4096 * 4096 / 128; i++) corridas.insert(corridas.end(), {0xFF, 5});
    Bytes indice_malo = corridas, gris_corto = corridas;
    indice_malo.back() = 7;
    gris_corto.pop_back();
    // A valid 16384 x 16385 grey + alpha run-length file: its result would
    // take just over 1 GiB.
    Bytes mas_de_un_giga;
    for (long long i = 0; i < 16384LL * 16385 / 128 + 1; i++) mas_de_un_giga.insert(mas_de_un_giga.end(), {0xFF, 1, 2});
    struct Caso {
        const char *que;
        Bytes       fichero;
    };
    const Caso casos[] = {
        {"index below the first entry", Tga(Cab(1, 1, 1, 8, 0, 1, 5, 2, 24), con(mapa2, {4}))},
        {"index past the last entry", Tga(Cab(1, 1, 1, 8, 0, 1, 5, 2, 24), con(mapa2, {7}))},
        {"16-bit index past the last entry", Tga(Cab(1, 1, 1, 16, 0, 1, 256, 2, 24), con(mapa2, {2, 1}))},
        {"run-length index past the map", Tga(Cab(9, 2, 1, 8, 0, 1, 0, 2, 24), con(mapa2, {0x00, 1, 0x00, 2}))},
        {"an empty map", Tga(Cab(1, 1, 1, 8, 0, 1, 0, 0, 24), {0})},
        {"map cut short", Tga(Cab(1, 1, 1, 8, 0, 1, 0, 4, 24), mapa2)},
        {"colour-mapped without a map", Tga(Cab(1, 1, 1, 8, 0, 0, 0, 2, 24), con(mapa2, {0}))},
        {"map entries of 8 bits", Tga(Cab(1, 1, 1, 8, 0, 1, 0, 2, 8), {1, 2, 0})},
        {"map entries of 0 bits", Tga(Cab(1, 1, 1, 8, 0, 1, 0, 2, 0), {0})},
        {"map entries of 20 bits", Tga(Cab(1, 1, 1, 8, 0, 1, 0, 2, 20), con(mapa2, {0}))},
        {"colour-map type 2", Tga(Cab(1, 1, 1, 8, 0, 2, 0, 2, 24), con(mapa2, {0}))},
        {"grey of 24 bits", Tga(Cab(3, 1, 1, 24), {1, 2, 3})},
        {"indices of 24 bits", Tga(Cab(1, 1, 1, 24, 0, 1, 0, 2, 24), con(mapa2, {0, 0, 0}))},
        {"grey data one byte short", Tga(Cab(3, 2, 2, 8), {1, 2, 3})},
        {"16-bit data one byte short", Tga(Cab(2, 2, 1, 16), {1, 2, 3})},
        {"indices one short", Tga(Cab(1, 2, 1, 8, 0, 1, 0, 2, 24), con(mapa2, {0}))},
        {"run-length grey ending early", Tga(Cab(11, 4, 1, 8), {0x81, 1})},
        {"run-length grey + alpha value cut", Tga(Cab(11, 4, 1, 16), {0x83, 1})},
        {"20000 x 20000 x 32, type 2, small body", Tga(Cab(2, 20000, 20000, 32), Bytes(64, 1))},
        {"20000 x 20000 x 32, type 10, small body", Tga(Cab(10, 20000, 20000, 32), {0xFF, 1, 2, 3, 4})},
        {"20000 x 20000, 32-bit map, small body", Tga(Cab(9, 20000, 20000, 8, 0, 1, 0, 1, 32), {1, 2, 3, 4, 0xFF, 0})},
        {"65535 x 65535 x 32, type 2", Tga(Cab(2, 65535, 65535, 32), Bytes(64, 1))},
        {"16384 x 16385 grey + alpha: 1 GiB and a row", Tga(Cab(11, 16384, 16385, 16), mas_de_un_giga)},
        {"4096 x 4096 run-length indices, last one past the map",
         Tga(Cab(9, 4096, 4096, 8, 0, 1, 5, 2, 24), con(mapa2, indice_malo))},
        {"4096 x 4096 run-length grey, last value missing", Tga(Cab(11, 4096, 4096, 8), gris_corto)},
    };
    for (const Caso &k : casos) {
        SCOPED_TRACE(k.que);
#ifdef TALO_MALLOC_VIGILADO
        g_mayor_pedido = 0;
#endif
        EsperarVacia(Cargar(k.fichero));
#ifdef TALO_MALLOC_VIGILADO
        EXPECT_LE(g_mayor_pedido, k.fichero.size() + (2u << 20));
#endif
        EXPECT_EQ(ReferenciaTga(k.fichero.data(), k.fichero.size()).estado, 0);
    }
}
TEST(TgaRechazo, FicherosCortosVaciosOInexistentes) {
    EsperarVacia(Cargar({}));
    EsperarVacia(Cargar(Bytes(17, 0)));  // header cut short
    Cabecera c;
    c.ancho = 2;
    c.alto = 2;
    EsperarVacia(Cargar(Tga(c, {})));
    EsperarVacia(Cargar(Tga(c, Bytes(11, 1))));  // one byte short
    Imagen im = Cargar(Tga(c, Bytes(12, 1)));    // exactly enough
    EXPECT_EQ(Pixeles(im).size(), 12u);
    Liberar(&im);
    EsperarVacia(CargarImagenTGA((DirTemporal() + "/no_such.tga").c_str()));
    EsperarVacia(CargarImagenTGA(DirTemporal().c_str()));
}

#ifdef TALO_MALLOC_VIGILADO
TEST(TgaRechazo, UnaAsignacionFallidaDaImagenVacia) {
    Cabecera c;
    c.ancho = 64;
    c.alto = 64;
    Bytes b = Tga(c, Serie(64 * 64 * 3));
    std::string ruta = Escribir(b);
    g_limite_fallo = 64 * 64 * 3;  // the pixel buffer, and anything larger
    Imagen im = CargarImagenTGA(ruta.c_str());
    g_limite_fallo = SIZE_MAX;
    EsperarVacia(im);
    im = CargarImagenTGA(ruta.c_str());  // and with memory it loads
    EXPECT_EQ(Pixeles(im).size(), (size_t)64 * 64 * 3);
    Liberar(&im);
}
#endif
