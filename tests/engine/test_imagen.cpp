// Tests of the TGA loader: files worked out by hand, every type, depth and
// origin against the reference decoder, and every kind of bad file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "comun.h"
#include "fallo_memoria.h"
#include "imagen.h"
#include "tga_referencia.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// A header in one line: type, size, depth, origin bits; then the colour map.
CamposTga Cab(int tipo, int ancho, int alto, int bits, int desc = 0, int mapa = 0, int primero = 0,
              int largo = 0, int bits_mapa = 0)
{
    CamposTga c;
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

Bytes Con(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string Escribir(const Bytes &b) { return EscribirTemporal("i.tga", std::string(b.begin(), b.end())); }

Imagen Cargar(const Bytes &b) { return CargarImagenTGA(Escribir(b).c_str()); }

Bytes Pixeles(const Imagen &im)
{
    if (!im.Pixeles) return Bytes();
    return Bytes(im.Pixeles, im.Pixeles + (size_t)im.Ancho * im.Alto * (im.Bpp / 8));
}

void EsperarVacia(const Imagen &im)
{
    EXPECT_EQ(im.Pixeles, nullptr);
    EXPECT_EQ(im.Bpp, 0);
    EXPECT_EQ(im.Ancho, 0);
    EXPECT_EQ(im.Alto, 0);
    EXPECT_EQ(im.Textura, 0u);
}

// Bytes 1, 8, 15, ... : n of them.
Bytes Serie(size_t n)
{
    Bytes b(n);
    for (size_t i = 0; i < n; i++) b[i] = (unsigned char)(i * 7 + 1);
    return b;
}

// `n` copies of `px`.
Bytes Veces(int n, const Bytes &px)
{
    Bytes b;
    for (int i = 0; i < n; i++) b.insert(b.end(), px.begin(), px.end());
    return b;
}

// The file's B, G, R (, A) pixels as they must come out: R and B exchanged.
Bytes ComoRGB(Bytes b, int bytes_pixel)
{
    for (size_t i = 0; i + 2 < b.size(); i += (size_t)bytes_pixel) std::swap(b[i], b[i + 2]);
    return b;
}

// The loader against the reference decoder on the same bytes: the same
// verdict, fields and pixels.
void EsperarComoReferencia(const Bytes &b)
{
    const TgaEsperada e = ReferenciaTga(b.data(), b.size());
    Imagen im = Cargar(b);
    EXPECT_EQ(im.Pixeles ? 2 : (im.Bpp || im.Ancho || im.Alto) ? 1 : 0, e.estado);
    EXPECT_EQ(im.Bpp, e.bpp);
    EXPECT_EQ(im.Ancho, e.ancho);
    EXPECT_EQ(im.Alto, e.alto);
    EXPECT_EQ(Pixeles(im), e.pixeles);
    free(im.Pixeles);
}

}   // namespace

// Files whose pixels are worked out by hand from the format: they pin the
// reference decoder as well as the loader.
TEST(TgaValores, CalculadosAMano)
{
    CamposTga id5 = Cab(2, 2, 1, 24), id255 = id5;
    id5.largo_id = 5;
    id255.largo_id = 255;
    CamposTga ancho256 = Cab(2, 256, 64, 24);
    struct Caso {
        const char *que;
        Bytes fichero;
        int bpp;
        Bytes pixeles;
    };
    const Caso casos[] = {
        {"24 bits: red and blue exchanged",
         Tga(Cab(2, 2, 1, 24), {1, 2, 3, 4, 5, 6}),
         24,
         {3, 2, 1, 6, 5, 4}},
        {"32 bits: alpha kept, alpha bits not consulted",
         Tga(Cab(2, 1, 1, 32, 8), {1, 2, 3, 4}),
         32,
         {3, 2, 1, 4}},
        {"width and height in two little-endian bytes", Tga(ancho256, Serie(256 * 64 * 3)), 24,
         ComoRGB(Serie(256 * 64 * 3), 3)},
        {"bottom-left origin keeps the file's order; the footer is never read",
         Tga(Cab(2, 3, 5, 24), Con(Serie(45), Bytes(100, 0xEE))), 24, ComoRGB(Serie(45), 3)},
        {"an ID of 5 bytes is skipped", Tga(id5, {9, 9, 9, 9, 9, 1, 2, 3, 4, 5, 6}), 24, {3, 2, 1, 6, 5, 4}},
        {"an ID of 255 bytes is skipped",
         Tga(id255, Con(Bytes(255, 9), {1, 2, 3, 4, 5, 6})),
         24,
         {3, 2, 1, 6, 5, 4}},
        {"a 15-bit map in a true-colour file is skipped",
         Tga(Cab(2, 2, 1, 24, 0, 1, 0, 3, 15), Con(Bytes(6, 0x55), {1, 2, 3, 4, 5, 6})),
         24,
         {3, 2, 1, 6, 5, 4}},
        {"a 32-bit map in a true-colour file is skipped",
         Tga(Cab(2, 2, 1, 24, 0, 1, 0, 3, 32), Con(Bytes(12, 0x55), {1, 2, 3, 4, 5, 6})),
         24,
         {3, 2, 1, 6, 5, 4}},
        {"an 8-bit map in a true-colour file is skipped",
         Tga(Cab(2, 2, 1, 24, 0, 1, 0, 3, 8), Con(Bytes(3, 0x55), {1, 2, 3, 4, 5, 6})),
         24,
         {3, 2, 1, 6, 5, 4}},
        {"top origin, one column",
         Tga(Cab(2, 1, 3, 24, 0x20), {1, 2, 3, 4, 5, 6, 7, 8, 9}),
         24,
         {9, 8, 7, 6, 5, 4, 3, 2, 1}},
        {"right to left, one row",
         Tga(Cab(2, 3, 1, 24, 0x10), {1, 2, 3, 4, 5, 6, 7, 8, 9}),
         24,
         {9, 8, 7, 6, 5, 4, 3, 2, 1}},
        {"16 bits: white, then red 16 green 1 blue 31 with the attribute bit set",
         Tga(Cab(2, 2, 1, 16), {0xFF, 0x7F, 0x3F, 0xC0}),
         24,
         {255, 255, 255, 132, 8, 255}},
        {"15 bits: each 5-bit step",
         Tga(Cab(2, 3, 1, 15), {0x21, 0x04, 0x10, 0x42, 0x00, 0x00}),
         24,
         {8, 8, 8, 132, 132, 132, 0, 0, 0}},
        {"8-bit grey", Tga(Cab(3, 2, 1, 8), {7, 200}), 24, {7, 7, 7, 200, 200, 200}},
        {"grey then alpha", Tga(Cab(3, 1, 1, 16), {0x40, 0x80}), 32, {0x40, 0x40, 0x40, 0x80}},
        {"8-bit indices, map from index 5",
         Tga(Cab(1, 2, 1, 8, 0, 1, 5, 2, 24), {1, 2, 3, 4, 5, 6, 6, 5}),
         24,
         {6, 5, 4, 3, 2, 1}},
        {"16-bit indices 257 and 256, map from 256, 32-bit entries",
         Tga(Cab(1, 2, 1, 16, 0, 1, 256, 2, 32), {1, 2, 3, 4, 5, 6, 7, 8, 0x01, 0x01, 0x00, 0x01}),
         32,
         {7, 6, 5, 8, 3, 2, 1, 4}},
        {"run of a 15-bit map entry",
         Tga(Cab(9, 2, 1, 8, 0, 1, 0, 1, 15), {0x1F, 0x00, 0x81, 0}),
         24,
         {0, 0, 255, 0, 0, 255}},
        {"grey packets across a row, top origin",
         Tga(Cab(11, 3, 2, 8, 0x20), {0x03, 1, 2, 3, 4, 0x81, 9}),
         24,
         {4, 4, 4, 9, 9, 9, 9, 9, 9, 1, 1, 1, 2, 2, 2, 3, 3, 3}},
        {"16 bits run-length, right to left",
         Tga(Cab(10, 2, 1, 16, 0x10), {0x01, 0x1F, 0x00, 0x00, 0x7C}),
         24,
         {255, 0, 0, 0, 0, 255}},
        {"two runs of 128 pixels, one per row", Tga(Cab(10, 128, 2, 24), {0xFF, 1, 2, 3, 0xFF, 4, 5, 6}), 24,
         Con(Veces(128, {3, 2, 1}), Veces(128, {6, 5, 4}))},
        {"grey run past the last pixel", Tga(Cab(11, 2, 1, 8), {0x84, 5}), 24, {5, 5, 5, 5, 5, 5}},
        {"24-bit run of 5 for 2 pixels", Tga(Cab(10, 2, 1, 24), {0x84, 1, 2, 3}), 24, {3, 2, 1, 3, 2, 1}},
        {"raw packet of 4 with one pixel left, the rest present",
         Tga(Cab(10, 2, 1, 24), {0x00, 1, 2, 3, 0x03, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}),
         24,
         {3, 2, 1, 6, 5, 4}},
        {"raw packet of 4 with one pixel left, the rest missing",
         Tga(Cab(10, 2, 1, 24), {0x00, 1, 2, 3, 0x03, 4, 5, 6}),
         24,
         {3, 2, 1, 6, 5, 4}},
        {"raw data exactly long enough", Tga(Cab(2, 2, 2, 24), Serie(12)), 24, ComoRGB(Serie(12), 3)},
    };
    for (const Caso &k : casos) {
        SCOPED_TRACE(k.que);
        Imagen im = Cargar(k.fichero);
        EXPECT_EQ(im.Bpp, k.bpp);
        EXPECT_EQ(im.Ancho, k.fichero[12] + 256 * k.fichero[13]);
        EXPECT_EQ(im.Alto, k.fichero[14] + 256 * k.fichero[15]);
        EXPECT_EQ(im.Textura, 0u);
        EXPECT_EQ(Pixeles(im), k.pixeles);
        EXPECT_EQ(ReferenciaTga(k.fichero.data(), k.fichero.size()).pixeles, k.pixeles);
        free(im.Pixeles);
    }
}

// An accepted image of width or height 0 keeps its header fields.
TEST(TgaValores, AnchoOAltoCeroNoTienePixeles)
{
    for (const CamposTga &c : {Cab(2, 0, 7, 24), Cab(2, 7, 0, 32)}) {
        Imagen im = Cargar(Tga(c));
        EXPECT_EQ(im.Pixeles, nullptr);
        EXPECT_EQ(im.Ancho, c.ancho);
        EXPECT_EQ(im.Alto, c.alto);
        EXPECT_EQ(im.Bpp, c.bits);
    }
}

// ---------------------------------------------------------------------------
// Every image type, depth and origin, raw and run-length

namespace {

struct FormatoPrueba {
    int tipo;   // 1, 2 or 3 (plus 8 for run-length)
    int bits;
    int bits_mapa;   // colour-mapped only
    int bpp;         // the layout it must load as
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
void Valor(const FormatoPrueba &fp, const CamposTga &c, std::mt19937 *g, Bytes *out)
{
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
Bytes Generar(const FormatoPrueba &fp, int desc, bool rle, unsigned semilla)
{
    std::mt19937 g(semilla);
    CamposTga c = Cab(fp.tipo + (rle ? 8 : 0), 37, 7, fp.bits, desc);
    if (fp.tipo == 1)
        c = Cab(c.tipo, 37, 7, fp.bits, desc, 1, fp.bits == 8 ? 3 : 300, fp.bits == 8 ? 250 : 600,
                fp.bits_mapa);
    c.largo_id = semilla % 2 ? 3 : 0;
    Bytes resto((size_t)c.largo_id, 'i');
    if (fp.tipo == 1)
        for (int k = 0; k < c.largo_mapa * ((fp.bits_mapa + 7) / 8); k++) resto.push_back((unsigned char)g());
    const int total = c.ancho * c.alto;
    for (int hechos = 0, p = 0; hechos < total; p++) {
        int n = kLargos[p % 10];
        if (!rle)
            n = std::min(n, total - hechos);
        else
            resto.push_back((unsigned char)((p % 2 == 0 ? 0x80 : 0) | (n - 1)));
        for (int k = 0; k < ((rle && p % 2 == 0) ? 1 : n); k++) Valor(fp, c, &g, &resto);
        hechos += n;
    }
    resto.insert(resto.end(), 26, 0xEE);   // a footer, never read
    return Tga(c, resto);
}

}   // namespace

TEST(TgaTipos, CadaTipoProfundidadYOrigenComoLaReferencia)
{
    unsigned semilla = 1;
    for (const FormatoPrueba &fp : kFormatos)
        for (int desc : {0x00, 0x10, 0x20, 0x30})
            for (bool rle : {false, true}) {
                SCOPED_TRACE(testing::Message() << "type " << fp.tipo + (rle ? 8 : 0) << ", " << fp.bits
                                                << " bits, map " << fp.bits_mapa << ", origin " << desc);
                const Bytes b = Generar(fp, desc, rle, semilla++);
                EXPECT_EQ(ReferenciaTga(b.data(), b.size()).bpp, fp.bpp);
                EsperarComoReferencia(b);
            }
}

// Which (type, depth) pairs load, listed here independently of both the
// loader and the reference; with a 24-bit map of 2 entries present.
TEST(TgaTipos, TiposYProfundidadesAceptados)
{
    auto aceptada = [](int tipo, int bits) {
        const int base = tipo >= 9 ? tipo - 8 : tipo;
        if (tipo != base && tipo != base + 8) return false;
        if (base == 1 || base == 3) return bits == 8 || bits == 16;
        return base == 2 && (bits == 15 || bits == 16 || bits == 24 || bits == 32);
    };
    for (int tipo : {0, 1, 2, 3, 4, 8, 9, 10, 11, 12, 32, 33, 127, 128, 129, 255})
        for (int bits : {0, 1, 8, 15, 16, 24, 32, 255}) {
            SCOPED_TRACE(tipo * 1000 + bits);
            const Bytes b = Tga(Cab(tipo, 3, 2, bits, 0, 1, 0, 2, 24), Con({1, 2, 3, 4, 5, 6}, Bytes(30, 0)));
            const bool ok = (tipo >= 1 && tipo <= 3) || (tipo >= 9 && tipo <= 11);
            EXPECT_EQ(ReferenciaTga(b.data(), b.size()).estado == 2, ok && aceptada(tipo, bits));
            EsperarComoReferencia(b);
        }
}

// ---------------------------------------------------------------------------
// Bad files

// Each gives the empty image, and the largest block asked for stays within
// the file's own size and a few megabytes.
TEST(TgaRechazo, FicherosMalformadosDanImagenVacia)
{
    const Bytes mapa2 = {1, 2, 3, 4, 5, 6};   // two 24-bit entries
    // 4096 x 4096 in 128-pixel runs of a valid index or grey value, the last
    // run marred: data that checks out up to its end.
    const Bytes corridas = Veces(4096 * 4096 / 128, {0xFF, 5});
    Bytes indice_malo = corridas, gris_corto = corridas;
    indice_malo.back() = 7;
    gris_corto.pop_back();
    // A valid 16384 x 16385 grey + alpha run-length file: its result would
    // take just over 1 GiB.
    const Bytes mas_de_un_giga = Veces(16384 * 16385 / 128 + 1, {0xFF, 1, 2});
    CamposTga id_largo = Cab(2, 1, 1, 24);
    id_largo.largo_id = 255;
    struct Caso {
        const char *que;
        Bytes fichero;
    };
    const Caso casos[] = {
        {"empty file", {}},
        {"header cut short", Bytes(17, 0)},
        {"no pixel data", Tga(Cab(2, 2, 2, 24))},
        {"raw data one byte short", Tga(Cab(2, 2, 2, 24), Bytes(11, 1))},
        {"an ID longer than the file", Tga(id_largo, Bytes(10, 1))},
        {"an ID complete, one pixel short", Tga(id_largo, Bytes(257, 1))},
        {"colour-map type 2", Tga(Cab(2, 1, 1, 24, 0, 2), {1, 2, 3})},
        {"colour-map type 3", Tga(Cab(2, 1, 1, 24, 0, 3), {1, 2, 3})},
        {"colour-map type 127", Tga(Cab(2, 1, 1, 24, 0, 127), {1, 2, 3})},
        {"colour-map type 128", Tga(Cab(2, 1, 1, 24, 0, 128), {1, 2, 3})},
        {"colour-map type 255", Tga(Cab(2, 1, 1, 24, 0, 255), {1, 2, 3})},
        {"index below the first entry", Tga(Cab(1, 1, 1, 8, 0, 1, 5, 2, 24), Con(mapa2, {4}))},
        {"index past the last entry", Tga(Cab(1, 1, 1, 8, 0, 1, 5, 2, 24), Con(mapa2, {7}))},
        {"16-bit index past the last entry", Tga(Cab(1, 1, 1, 16, 0, 1, 256, 2, 24), Con(mapa2, {2, 1}))},
        {"run-length index past the map",
         Tga(Cab(9, 2, 1, 8, 0, 1, 0, 2, 24), Con(mapa2, {0x00, 1, 0x00, 2}))},
        {"an empty map", Tga(Cab(1, 1, 1, 8, 0, 1, 0, 0, 24), {0})},
        {"map cut short", Tga(Cab(1, 1, 1, 8, 0, 1, 0, 4, 24), mapa2)},
        {"colour-mapped without a map", Tga(Cab(1, 1, 1, 8, 0, 0, 0, 2, 24), Con(mapa2, {0}))},
        {"map entries of 8 bits", Tga(Cab(1, 1, 1, 8, 0, 1, 0, 2, 8), {1, 2, 0})},
        {"map entries of 0 bits", Tga(Cab(1, 1, 1, 8, 0, 1, 0, 2, 0), {0})},
        {"map entries of 20 bits", Tga(Cab(1, 1, 1, 8, 0, 1, 0, 2, 20), Con(mapa2, {0}))},
        {"grey of 24 bits", Tga(Cab(3, 1, 1, 24), {1, 2, 3})},
        {"indices of 24 bits", Tga(Cab(1, 1, 1, 24, 0, 1, 0, 2, 24), Con(mapa2, {0, 0, 0}))},
        {"grey data one byte short", Tga(Cab(3, 2, 2, 8), {1, 2, 3})},
        {"16-bit data one byte short", Tga(Cab(2, 2, 1, 16), {1, 2, 3})},
        {"indices one short", Tga(Cab(1, 2, 1, 8, 0, 1, 0, 2, 24), Con(mapa2, {0}))},
        {"run-length with no data", Tga(Cab(10, 4, 1, 24))},
        {"run-length: one pixel of four", Tga(Cab(10, 4, 1, 24), {0x80, 1, 2, 3})},
        {"run-length: pixel value cut short", Tga(Cab(10, 4, 1, 24), {0x81, 1, 2, 3, 0x81, 4, 5})},
        {"run-length: raw packet cut short", Tga(Cab(10, 4, 1, 24), {0x03, 1, 2, 3, 4, 5, 6, 7, 8, 9})},
        {"run-length: a raw packet of two, one pixel short",
         Tga(Cab(10, 4, 1, 24), {0x81, 1, 2, 3, 0x01, 4, 5, 6, 7, 8})},
        {"run-length: ends on a packet header", Tga(Cab(10, 4, 1, 24), {0x81, 1, 2, 3, 0x01})},
        {"run-length grey ending early", Tga(Cab(11, 4, 1, 8), {0x81, 1})},
        {"run-length grey + alpha value cut", Tga(Cab(11, 4, 1, 16), {0x83, 1})},
        {"20000 x 20000 x 32, type 2, small body", Tga(Cab(2, 20000, 20000, 32), Bytes(64, 1))},
        {"20000 x 20000 x 32, type 10, small body", Tga(Cab(10, 20000, 20000, 32), {0xFF, 1, 2, 3, 4})},
        {"20000 x 20000, 32-bit map, small body",
         Tga(Cab(9, 20000, 20000, 8, 0, 1, 0, 1, 32), {1, 2, 3, 4, 0xFF, 0})},
        {"65535 x 65535 x 32, type 2", Tga(Cab(2, 65535, 65535, 32), Bytes(64, 1))},
        {"16384 x 16385 grey + alpha: 1 GiB and a row", Tga(Cab(11, 16384, 16385, 16), mas_de_un_giga)},
        {"4096 x 4096 run-length indices, last one past the map",
         Tga(Cab(9, 4096, 4096, 8, 0, 1, 5, 2, 24), Con(mapa2, indice_malo))},
        {"4096 x 4096 run-length grey, last value missing", Tga(Cab(11, 4096, 4096, 8), gris_corto)},
    };
    for (const Caso &k : casos) {
        SCOPED_TRACE(k.que);
#ifdef TALO_FALLO_MEMORIA
        g_mayor_pedido = 0;
#endif
        EsperarVacia(Cargar(k.fichero));
#ifdef TALO_FALLO_MEMORIA
        EXPECT_LE(g_mayor_pedido, k.fichero.size() + (2u << 20));
#endif
        EXPECT_EQ(ReferenciaTga(k.fichero.data(), k.fichero.size()).estado, 0);
    }
    EsperarVacia(CargarImagenTGA((DirTemporal() + "/no_such.tga").c_str()));
    EsperarVacia(CargarImagenTGA(DirTemporal().c_str()));
}

#ifdef TALO_FALLO_MEMORIA
// Whichever allocation fails, on either path (read straight into the result,
// or read whole, checked and decoded), the image is empty; with memory it
// loads.
TEST(TgaRechazo, UnaAsignacionFallidaDaImagenVacia)
{
    for (const Bytes &b :
         {Tga(Cab(2, 64, 64, 24), Serie(64 * 64 * 3)),
          Tga(Cab(9, 64, 64, 8, 0, 1, 0, 2, 24), Con({1, 2, 3, 4, 5, 6}, Veces(32, {0xFF, 1})))}) {
        const std::string ruta = Escribir(b);
        for (long aciertos = 0; aciertos < 3; aciertos++) {
            FallarMemoria(2, aciertos);
            Imagen im = CargarImagenTGA(ruta.c_str());
            RestaurarMemoria();
            SCOPED_TRACE(aciertos);
            if (im.Pixeles == nullptr)
                EsperarVacia(im);
            else
                EXPECT_EQ(Pixeles(im), ReferenciaTga(b.data(), b.size()).pixeles);
            free(im.Pixeles);
        }
        FallarMemoria(64 * 64 * 3);   // the pixel buffer, and anything larger
        EsperarVacia(CargarImagenTGA(ruta.c_str()));
        RestaurarMemoria();
        Imagen im = CargarImagenTGA(ruta.c_str());
        EXPECT_EQ(Pixeles(im).size(), (size_t)64 * 64 * 3);
        free(im.Pixeles);
    }
}
#endif
