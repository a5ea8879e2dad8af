// tga_referencia.h - the TGA side of the tests: the one writer of TGA bytes
// (CabeceraTGA, Tga), and a decoder written straight from the file format,
// on the file's bytes in memory, to hold CargarImagenTGA against (fuzz_tga
// and test_imagen). The decoder shares no code with the loader and takes
// the plain way: every stored pixel is first expanded, in file order, into
// one list; then each is turned into its colour and put where its row and
// column belong.
#ifndef TALO_TGA_REFERENCIA_H
#define TALO_TGA_REFERENCIA_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The header fields the loader reads; the rest of the 18 bytes are zero.
struct CamposTga {
    int tipo = 2, ancho = 0, alto = 0, bits = 24, descriptor = 0;
    int largo_id = 0, tipo_mapa = 0, primero_mapa = 0, largo_mapa = 0, bits_mapa = 0;
};

// The 18 header bytes of c, then `resto`.
inline std::vector<unsigned char> Tga(const CamposTga &c, const std::vector<unsigned char> &resto = {})
{
    const int v[18] = {c.largo_id,
                       c.tipo_mapa,
                       c.tipo,
                       c.primero_mapa & 255,
                       c.primero_mapa >> 8,
                       c.largo_mapa & 255,
                       c.largo_mapa >> 8,
                       c.bits_mapa,
                       0,
                       0,
                       0,
                       0,
                       c.ancho & 255,
                       c.ancho >> 8,
                       c.alto & 255,
                       c.alto >> 8,
                       c.bits,
                       c.descriptor};
    std::vector<unsigned char> b(v, v + 18);
    b.insert(b.end(), resto.begin(), resto.end());
    return b;
}

// The header of a small true-colour or run-length file, as text, for
// writing with EscribirTemporal.
inline std::string CabeceraTga(int tipo, int ancho, int alto, int bits)
{
    CamposTga c;
    c.tipo = tipo;
    c.ancho = ancho;
    c.alto = alto;
    c.bits = bits;
    const std::vector<unsigned char> b = Tga(c);
    return std::string(b.begin(), b.end());
}

struct TgaEsperada {
    int estado;   // 0 empty image, 1 header only (no pixels), 2 pixels
    int bpp, ancho, alto;
    std::vector<unsigned char> pixeles;
};

inline size_t ParTga(const uint8_t *d) { return d[0] + 256u * d[1]; }

// A 5-bit channel in 8 bits: its five bits, then its top three again.
inline unsigned char CincoAOcho(unsigned v) { return (unsigned char)((v & 31) * 8 + (v & 31) / 4); }

// A true-colour value of `bits` bits at `p` as R, G, B, A.
inline void ColorTga(const uint8_t *p, int bits, unsigned char rgba[4])
{
    if (bits == 15 || bits == 16) {
        const unsigned v = ParTga(p);
        rgba[0] = CincoAOcho(v >> 10);
        rgba[1] = CincoAOcho(v >> 5);
        rgba[2] = CincoAOcho(v);
        rgba[3] = 255;
        return;
    }
    rgba[0] = p[2];
    rgba[1] = p[1];
    rgba[2] = p[0];
    rgba[3] = bits == 32 ? p[3] : 255;
}

// The stored pixels of `total` pixels of `B` bytes from d[pos..tam): raw, or
// run-length packets (a packet running past the last pixel is cut there).
// False if the bytes end first.
inline bool ExpandirTga(const uint8_t *d, size_t tam, size_t pos, bool rle, size_t total, size_t B,
                        std::vector<uint8_t> *crudo)
{
    if (!rle) {
        if (tam - pos < total * B) return false;
        crudo->assign(d + pos, d + pos + total * B);
        return true;
    }
    while (crudo->size() < total * B) {
        if (pos >= tam) return false;
        const uint8_t cab = d[pos++];
        const size_t n = (size_t)(cab & 0x7f) + 1;
        for (size_t k = 0; k < n && crudo->size() < total * B; k++) {
            const size_t desde = (cab & 0x80) ? pos : pos + k * B;
            if (desde + B > tam) return false;
            crudo->insert(crudo->end(), d + desde, d + desde + B);
        }
        pos += (cab & 0x80) ? B : n * B;
    }
    return true;
}

inline TgaEsperada ReferenciaTga(const uint8_t *d, size_t tam)
{
    const TgaEsperada vacia{0, 0, 0, 0, {}};
    if (tam < 18) return vacia;
    const int tipo = d[2], mapa = d[1], bits = d[16], bits_mapa = d[7];
    const size_t primero = ParTga(d + 3), largo_mapa = ParTga(d + 5);
    const size_t ancho = ParTga(d + 12), alto = ParTga(d + 14);
    const bool rle = tipo >= 9;
    const int base = rle ? tipo - 8 : tipo;
    const bool entrada_valida = bits_mapa == 15 || bits_mapa == 16 || bits_mapa == 24 || bits_mapa == 32;
    bool valida = false;
    int salida = 3;   // output bytes per pixel
    if (tipo == 1 || tipo == 9) {
        valida = (bits == 8 || bits == 16) && mapa == 1 && entrada_valida;
        salida = bits_mapa == 32 ? 4 : 3;
    } else if (tipo == 2 || tipo == 10) {
        valida = bits == 15 || bits == 16 || bits == 24 || bits == 32;
        salida = bits == 32 ? 4 : 3;
    } else if (tipo == 3 || tipo == 11) {
        valida = bits == 8 || bits == 16;
        salida = bits == 16 ? 4 : 3;
    }
    if (!valida || mapa > 1 || (unsigned long long)ancho * alto * salida > (1ull << 30)) return vacia;

    size_t pos = 18 + (size_t)d[0];
    const size_t bytes_entrada = ((size_t)bits_mapa + 7) / 8;
    const size_t bytes_mapa = mapa == 1 ? largo_mapa * bytes_entrada : 0;
    if (pos + bytes_mapa > tam) return vacia;
    const uint8_t *tabla = d + pos;
    pos += bytes_mapa;
    if (ancho == 0 || alto == 0) return TgaEsperada{1, salida * 8, (int)ancho, (int)alto, {}};

    const size_t B = ((size_t)bits + 7) / 8;
    std::vector<uint8_t> crudo;
    if (!ExpandirTga(d, tam, pos, rle, ancho * alto, B, &crudo)) return vacia;

    std::vector<unsigned char> px(ancho * alto * salida);
    for (size_t k = 0; k < ancho * alto; k++) {
        const uint8_t *p = &crudo[k * B];
        unsigned char rgba[4];
        if (base == 2) {
            ColorTga(p, bits, rgba);
        } else if (base == 3) {
            rgba[0] = rgba[1] = rgba[2] = p[0];
            rgba[3] = bits == 16 ? p[1] : 255;
        } else {
            const size_t indice = B == 1 ? p[0] : ParTga(p);
            if (indice < primero || indice >= primero + largo_mapa) return vacia;
            ColorTga(tabla + (indice - primero) * bytes_entrada, bits_mapa, rgba);
        }
        const size_t fy = k / ancho, fx = k % ancho;
        const size_t y = (d[17] & 0x20) ? alto - 1 - fy : fy;
        const size_t x = (d[17] & 0x10) ? ancho - 1 - fx : fx;
        for (int c = 0; c < salida; c++) px[(y * ancho + x) * salida + c] = rgba[c];
    }
    return TgaEsperada{2, salida * 8, (int)ancho, (int)alto, px};
}

#endif
